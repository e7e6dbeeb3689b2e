#pragma once

#include <cstddef>
#include <cstdint>

// How a binary carries its embedded data where there are no Windows resources: a table of named
// byte arrays generated at build time and linked into the binary. The binary's module handle is the
// address of its table, so the resource functions find what that binary carries.
namespace platform {

struct EmbeddedResource {
  const char16_t* name;  // upper-case resource name, e.g. u"FAN_0_0"
  const std::uint8_t* data;
  std::uint32_t size;
};

struct EmbeddedResourceTable {
  const EmbeddedResource* entries;
  std::size_t count;
};

}  // namespace platform
