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

}  // namespace vf::test
