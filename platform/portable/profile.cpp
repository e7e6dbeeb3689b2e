// Portable profile files over our own INI reader and editor.
//
// Implemented: GetPrivateProfileString for one key, WritePrivateProfileString for one key, and the
// flush, which has nothing to do because no copy of a file is kept between calls. Every write
// replaces the whole file at once: the new text goes to a file beside it, reaches the disk, and is
// then renamed over the old one, so a crash or a full disk mid-write leaves the old file whole.
#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "ini_file.h"
#include "platform/text.h"
#include "error_codes.h"
#include "file_rules.h"
#include "resources_impl.h"

namespace platform {
namespace {

using namespace portable::win_error;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : FFd(fd) {}
  ~FileDescriptor() {
    if (FFd >= 0) ::close(FFd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return FFd; }
  // Closes now, reporting the failure a delayed write error shows only here.
  bool Close() {
    const int fd = FFd;
    FFd = -1;
    return ::close(fd) == 0;
  }

 private:
  int FFd;
};

enum class ReadOutcome { kRead, kMissing, kFailed };

ReadOutcome ReadWholeFile(const std::string& path, std::string& text) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) return (errno == ENOENT || errno == ENOTDIR) ? ReadOutcome::kMissing : ReadOutcome::kFailed;
  text.clear();
  char buffer[16384];
  for (;;) {
    const ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
    if (count == 0) return ReadOutcome::kRead;
    if (count < 0) {
      if (errno == EINTR) continue;
      return ReadOutcome::kFailed;
    }
    text.append(buffer, static_cast<std::size_t>(count));
  }
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t count = ::write(fd, text.data() + done, text.size() - done);
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(count);
  }
  return true;
}

// The file a write goes to: the target of a symbolic link, so that the link stays a link.
std::string WriteTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Replaces the file's content as one step: written beside it, flushed, renamed over it.
bool ReplaceFile(const std::string& path, const std::string& text, const struct stat* existing) {
  static std::atomic<unsigned> counter{0};
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return portable::RefuseWith(errno);
  }
  if (fd < 0) return portable::RefuseWith(EEXIST);
  FileDescriptor file(fd);
  const auto discard = [&](int error) {
    ::unlink(temporary.c_str());
    return portable::RefuseWith(error);
  };
  if (existing != nullptr && ::fchmod(file.Get(), existing->st_mode & 07777) != 0) return discard(errno);
  if (!WriteAll(file.Get(), text) || ::fsync(file.Get()) != 0) return discard(errno);
  if (!file.Close()) return discard(errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) return discard(errno);
  return true;
}

bool HoldsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A value with one pair of enclosing quotes (single or double) loses them.
std::u16string_view WithoutQuotes(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::u16string GetPrivateProfileStringW(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, std::uint32_t size,
                                       const std::u16string& fileName) {
  std::u16string value(defaultValue);
  std::string text;
  if (ReadWholeFile(Utf16ToUtf8(fileName), text) == ReadOutcome::kRead) {
    const portable::IniText ini(std::move(text));
    if (const auto found = ini.Find(Utf16ToUtf8(section), Utf16ToUtf8(key))) value = Utf8ToUtf16(*found);
  }
  // The value comes back as a string in a buffer, which ends at its first null character.
  value.resize(std::min(value.find(u'\0'), value.size()));
  value = std::u16string(WithoutQuotes(value));
  if (size == 0) return {};
  if (value.size() > size - 1) value.resize(size - 1);
  return value;
}

bool WritePrivateProfileStringW(std::u16string_view section, std::u16string_view key,
                               std::u16string_view value, const std::u16string& fileName) {
  const std::string sectionText = Utf16ToUtf8(section);
  const std::string keyText = Utf16ToUtf8(key);
  const std::string valueText = Utf16ToUtf8(value);
  // A line break would split the entry into lines of its own, and "=" in a name would move the
  // name's end: the written entry would not read back.
  if (sectionText.empty() || keyText.empty() || HoldsLineBreak(sectionText) || HoldsLineBreak(keyText) ||
      HoldsLineBreak(valueText) || keyText.find('=') != std::string::npos) {
    portable::SetLastErrorCode(kErrorInvalidParameter);
    return false;
  }

  const std::string path = WriteTarget(Utf16ToUtf8(fileName));
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists) {
    if (!S_ISREG(existing.st_mode)) return portable::RefuseWith(EISDIR);
    if (!portable::WritePermitted(path, existing)) return portable::RefuseWith(EACCES);
  }
  // The new text is written beside the file, so its folder must take a new file.
  const std::string folder = portable::FolderOf(path);
  struct stat folderInfo {};
  if (::stat(folder.c_str(), &folderInfo) != 0) return portable::RefuseWith(errno);
  if (!S_ISDIR(folderInfo.st_mode)) return portable::RefuseWith(ENOTDIR);
  if (!portable::WritePermitted(folder, folderInfo)) return portable::RefuseWith(EACCES);
  std::string text;
  if (exists && ReadWholeFile(path, text) != ReadOutcome::kRead) return portable::RefuseWith(errno);

  portable::IniText ini(std::move(text));
  ini.Set(sectionText, keyText, valueText);
  return ReplaceFile(path, ini.Text(), exists ? &existing : nullptr);
}

void FlushPrivateProfile(const std::u16string&) {}

}  // namespace platform
