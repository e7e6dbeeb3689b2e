#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh, empty folder for the files one test writes, inside the build tree (the folder the test
// runs in), so a test run leaves the source tree untouched.
namespace vf::test {

std::filesystem::path ScratchFolder(std::string_view name);

// A file's bytes, or the empty string when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// Windows refuses to open a file with the read-only attribute for writing, even for an
// administrator. Wine keeps that attribute as the file's permission bits, which do not bind root,
// so under wine run as root the profile service writes such a file. True when the system at hand
// opens the read-only file for writing; only asked on Windows, where our own code has no say.
bool ReadOnlyFileOpensForWriting(const std::filesystem::path& path);
inline constexpr const char* kReadOnlyIgnored =
    "this system opens read-only files for writing (wine run as root), so no refusal can be seen";

// The same for a folder without write permission: Windows lets its read-only attribute pass, and
// wine run as root its permission bits. True when a new file can be made in it on the system at
// hand; only asked on Windows.
bool ReadOnlyFolderTakesNewFiles(const std::filesystem::path& folder);
inline constexpr const char* kReadOnlyFolderIgnored =
    "this system makes files in folders without write permission (Windows, or wine run as root), so no "
    "refusal can be seen";

}  // namespace vf::test
