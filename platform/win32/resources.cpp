// Windows module resources, global memory, streams over it and the last-error code.
//
// Implemented: ThisModule (the binary this code is linked into, found from an address inside it),
// FindResourceW for RCDATA, SizeofResource, LoadResource with LockResource, GlobalMemory over
// GlobalAlloc/GlobalFree, GlobalLock, Stream over CreateStreamOnHGlobal, GetLastError and the
// system's message text for an error code.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <utility>

#include "platform/resources.h"
#include "text.h"

namespace platform {

namespace {

HMODULE AsModule(ModuleHandle module) { return static_cast<HMODULE>(module); }
HRSRC AsResource(ResourceHandle resource) { return static_cast<HRSRC>(const_cast<void*>(resource)); }
HGLOBAL AsGlobal(void* handle) { return static_cast<HGLOBAL>(handle); }

// Frees a block, unlocking it first: a block that is still locked would otherwise be freed with
// its lock count standing.
void FreeGlobal(void* handle) {
  if (handle == nullptr) return;
  UINT flags = ::GlobalFlags(AsGlobal(handle));
  if (flags != GMEM_INVALID_HANDLE) {
    for (UINT locks = flags & GMEM_LOCKCOUNT; locks > 0; --locks) ::GlobalUnlock(AsGlobal(handle));
  }
  ::GlobalFree(AsGlobal(handle));
}

void ReleaseStream(void* stream) {
  if (stream != nullptr) static_cast<IStream*>(stream)->Release();
}

}  // namespace

ModuleHandle ThisModule() {
  // The address of this very function lies in the binary the platform layer is linked into: the
  // plug-in module, or a test program.
  // The flag leaves the module's reference count alone, so the handle needs no FreeLibrary.
  const auto address = reinterpret_cast<std::uintptr_t>(&ThisModule);
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(address), &module);
  return module;
}

ResourceHandle FindResourceW(ModuleHandle module, const std::u16string& name) {
  // char16_t and wchar_t are both UTF-16 code units on Windows.
  return ::FindResourceW(AsModule(module), reinterpret_cast<const wchar_t*>(name.c_str()), RT_RCDATA);
}

std::uint32_t SizeofResource(ModuleHandle module, ResourceHandle resource) {
  return ::SizeofResource(AsModule(module), AsResource(resource));
}

const void* LoadResource(ModuleHandle module, ResourceHandle resource) {
  HGLOBAL loaded = ::LoadResource(AsModule(module), AsResource(resource));
  if (loaded == nullptr) return nullptr;
  return ::LockResource(loaded);
}

GlobalMemory::~GlobalMemory() { FreeGlobal(FHandle); }

GlobalMemory::GlobalMemory(GlobalMemory&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}

GlobalMemory& GlobalMemory::operator=(GlobalMemory&& other) noexcept {
  if (this != &other) {
    FreeGlobal(FHandle);
    FHandle = std::exchange(other.FHandle, nullptr);
  }
  return *this;
}

GlobalMemory GlobalMemory::Alloc(std::size_t size) {
  GlobalMemory memory;
  memory.FHandle = ::GlobalAlloc(GMEM_MOVEABLE, size);
  return memory;
}

void* GlobalLock(const GlobalMemory& memory) { return ::GlobalLock(AsGlobal(memory.Handle())); }

Stream::~Stream() { ReleaseStream(FStream); }

Stream::Stream(Stream&& other) noexcept : FStream(std::exchange(other.FStream, nullptr)) {}

Stream& Stream::operator=(Stream&& other) noexcept {
  if (this != &other) {
    ReleaseStream(FStream);
    FStream = std::exchange(other.FStream, nullptr);
  }
  return *this;
}

std::int32_t Stream::CreateOnHGlobal(const GlobalMemory& memory, Stream& stream) {
  stream = Stream();
  // Given no block, CreateStreamOnHGlobal would allocate one of its own, which nobody would free.
  if (!memory) return E_INVALIDARG;
  IStream* created = nullptr;
  // fDeleteOnRelease is false: the block belongs to its GlobalMemory owner, not to the stream.
  const HRESULT result = ::CreateStreamOnHGlobal(AsGlobal(memory.Handle()), FALSE, &created);
  if (result != S_OK) {
    ReleaseStream(created);
    return result;
  }
  stream.FStream = created;
  return result;
}

std::uint32_t GetLastError() { return ::GetLastError(); }

std::u16string SysErrorMessage(std::uint32_t code) { return win32::LastErrorText(code); }

}  // namespace platform
