#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/api.h"

// The module's embedded data (RCDATA resources, found by name), global memory blocks and the
// streams that hand such blocks to the imaging library, and the last-error code with its text.
namespace platform {

using ModuleHandle = void*;
using ResourceHandle = const void*;

// The binary this code is linked into: the plug-in module, or a test program with its own set.
// Defined by that binary's embedded resources (portable) or by the platform (Windows).
ModuleHandle ThisModule();

// An RCDATA resource of the module by name; null when there is none (the last error is set).
VF_PLATFORM_API ResourceHandle FindResourceW(ModuleHandle module, const std::u16string& name);
VF_PLATFORM_API std::uint32_t SizeofResource(ModuleHandle module, ResourceHandle resource);
// LoadResource followed by LockResource: the resource's bytes, valid while the module is loaded.
VF_PLATFORM_API const void* LoadResource(ModuleHandle module, ResourceHandle resource);

// A movable global memory block (GlobalAlloc with GMEM_MOVEABLE), freed by its owner.
class VF_PLATFORM_API GlobalMemory {
 public:
  GlobalMemory() = default;
  ~GlobalMemory();
  GlobalMemory(GlobalMemory&& other) noexcept;
  GlobalMemory& operator=(GlobalMemory&& other) noexcept;
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  explicit operator bool() const { return FHandle != nullptr; }
  void* Handle() const { return FHandle; }

  static GlobalMemory Alloc(std::size_t size);  // empty on failure (the last error is set)

 private:
  void* FHandle = nullptr;
};

// GlobalLock: the block's bytes, or null (the last error is set).
VF_PLATFORM_API void* GlobalLock(const GlobalMemory& memory);

// A COM stream over a global memory block that it does not own (CreateStreamOnHGlobal with
// fDeleteOnRelease false). Releasing the owner releases this reference only.
class VF_PLATFORM_API Stream {
 public:
  Stream() = default;
  ~Stream();
  Stream(Stream&& other) noexcept;
  Stream& operator=(Stream&& other) noexcept;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  explicit operator bool() const { return FStream != nullptr; }
  void* Get() const { return FStream; }

  // S_OK (0) on success; the stream stays empty otherwise.
  static std::int32_t CreateOnHGlobal(const GlobalMemory& memory, Stream& stream);

 private:
  void* FStream = nullptr;
};

VF_PLATFORM_API std::uint32_t GetLastError();
// The system's text for an error code: default language, at most 256 characters, trailing
// blanks, control characters and full stops removed.
VF_PLATFORM_API std::u16string SysErrorMessage(std::uint32_t code);

}  // namespace platform
