#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

namespace vf::test {

std::filesystem::path ScratchFolder(std::string_view name) {
  // CTest runs the cases of one test program in parallel processes: each case gets a folder of its
  // own, so that no case wipes another's files.
  std::string testCase = "outside_a_test";
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
    testCase = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : testCase)
      if (c == '/' || c == '\\') c = '_';
  }
  // Under the build tree's test output, wherever the program was started from, so a run by hand
  // from the source folder leaves it untouched too.
  const std::filesystem::path folder =
      std::filesystem::path(VF_TEST_OUTPUT_DIR) / "scratch" / std::string(name) / testCase;
  // A read-only file left by an earlier run must not stop the clean-up.
  std::error_code ignored;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return {};
  std::string bytes(static_cast<std::size_t>(file.tellg()), '\0');
  file.seekg(0);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

bool ReadOnlyFileOpensForWriting(const std::filesystem::path& path) {
#if defined(_WIN32)
  std::ofstream file(path, std::ios::binary | std::ios::app);
  return static_cast<bool>(file);
#else
  (void)path;
  return false;
#endif
}

bool ReadOnlyFolderTakesNewFiles(const std::filesystem::path& folder) {
#if defined(_WIN32)
  const std::filesystem::path probe = folder / "probe";
  const bool made = static_cast<bool>(std::ofstream(probe, std::ios::binary));
  std::error_code ignored;
  std::filesystem::remove(probe, ignored);
  return made;
#else
  (void)folder;
  return false;
#endif
}

}  // namespace vf::test
