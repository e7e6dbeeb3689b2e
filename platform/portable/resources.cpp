// Portable module resources, global memory, streams and the last-error code.
//
// Implemented: FindResourceW, SizeofResource and LoadResource over the table of named byte arrays
// a binary links in (its module handle is the table's address); GlobalMemory blocks that know
// their size and GlobalLock; streams over such blocks that do not own them; a per-thread last
// error with the Windows texts of the codes these functions set.
#include <new>
#include <string_view>
#include <utility>

#include "platform/embedded_resources.h"
#include "platform/text.h"
#include "error_codes.h"
#include "resources_impl.h"

namespace platform {
namespace {

using namespace portable::win_error;

constexpr std::int32_t kEInvalidArg = static_cast<std::int32_t>(0x80070057u);

thread_local std::uint32_t tLastError = kErrorSuccess;

const EmbeddedResourceTable* TableOf(ModuleHandle module) {
  return static_cast<const EmbeddedResourceTable*>(module);
}

// The entry behind a resource handle, when it is one of this module's entries; sets the last
// error otherwise.
const EmbeddedResource* EntryOf(ModuleHandle module, ResourceHandle resource) {
  const EmbeddedResourceTable* table = TableOf(module);
  if (table == nullptr) {
    portable::SetLastErrorCode(kErrorResourceNameNotFound);
    return nullptr;
  }
  const auto address = reinterpret_cast<std::uintptr_t>(resource);
  const auto first = reinterpret_cast<std::uintptr_t>(table->entries);
  const auto end = reinterpret_cast<std::uintptr_t>(table->entries + table->count);
  if (resource == nullptr || address < first || address >= end ||
      (address - first) % sizeof(EmbeddedResource) != 0) {
    portable::SetLastErrorCode(kErrorInvalidHandle);
    return nullptr;
  }
  return static_cast<const EmbeddedResource*>(resource);
}

portable::GlobalBlock* BlockOf(const GlobalMemory& memory) {
  return static_cast<portable::GlobalBlock*>(memory.Handle());
}

}  // namespace

void portable::SetLastErrorCode(std::uint32_t code) { tLastError = code; }

ResourceHandle FindResourceW(ModuleHandle module, const std::u16string& name) {
  if (const EmbeddedResourceTable* table = TableOf(module)) {
    for (std::size_t i = 0; i < table->count; ++i) {
      const EmbeddedResource& entry = table->entries[i];
      if (entry.name != nullptr && std::u16string_view(entry.name) == name) return &entry;
    }
  }
  portable::SetLastErrorCode(kErrorResourceNameNotFound);
  return nullptr;
}

std::uint32_t SizeofResource(ModuleHandle module, ResourceHandle resource) {
  const EmbeddedResource* entry = EntryOf(module, resource);
  return entry != nullptr ? entry->size : 0;
}

const void* LoadResource(ModuleHandle module, ResourceHandle resource) {
  const EmbeddedResource* entry = EntryOf(module, resource);
  return entry != nullptr ? entry->data : nullptr;
}

GlobalMemory::~GlobalMemory() { delete BlockOf(*this); }

GlobalMemory::GlobalMemory(GlobalMemory&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}

GlobalMemory& GlobalMemory::operator=(GlobalMemory&& other) noexcept {
  if (this != &other) {
    delete BlockOf(*this);
    FHandle = std::exchange(other.FHandle, nullptr);
  }
  return *this;
}

GlobalMemory GlobalMemory::Alloc(std::size_t size) {
  GlobalMemory memory;
  // A block of zero bytes still gets an address of its own, so GlobalLock never returns null for
  // a live block.
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size > 0 ? size : 1]);
  auto* block = bytes ? new (std::nothrow) portable::GlobalBlock{size, nullptr} : nullptr;
  if (block == nullptr) {
    portable::SetLastErrorCode(kErrorNotEnoughMemory);
    return memory;
  }
  block->bytes = std::move(bytes);
  memory.FHandle = block;
  return memory;
}

void* GlobalLock(const GlobalMemory& memory) {
  portable::GlobalBlock* block = BlockOf(memory);
  if (block == nullptr) {
    portable::SetLastErrorCode(kErrorInvalidHandle);
    return nullptr;
  }
  return block->bytes.get();
}

Stream::~Stream() { delete static_cast<portable::StreamImpl*>(FStream); }

Stream::Stream(Stream&& other) noexcept : FStream(std::exchange(other.FStream, nullptr)) {}

Stream& Stream::operator=(Stream&& other) noexcept {
  if (this != &other) {
    delete static_cast<portable::StreamImpl*>(FStream);
    FStream = std::exchange(other.FStream, nullptr);
  }
  return *this;
}

std::int32_t Stream::CreateOnHGlobal(const GlobalMemory& memory, Stream& stream) {
  stream = Stream();
  const portable::GlobalBlock* block = BlockOf(memory);
  if (block == nullptr) return kEInvalidArg;
  stream.FStream = new portable::StreamImpl{block};
  return 0;
}

std::uint32_t GetLastError() { return tLastError; }

std::u16string SysErrorMessage(std::uint32_t code) {
  // The system's English texts for the codes the portable layer sets, without their full stops.
  switch (code) {
    case kErrorSuccess: return u"The operation completed successfully";
    case kErrorFileNotFound: return u"The system cannot find the file specified";
    case kErrorPathNotFound: return u"The system cannot find the path specified";
    case kErrorAccessDenied: return u"Access is denied";
    case kErrorInvalidHandle: return u"The handle is invalid";
    case kErrorNotEnoughMemory: return u"Not enough memory resources are available to process this command";
    case kErrorWriteFault: return u"The system cannot write to the specified device";
    case kErrorInvalidParameter: return u"The parameter is incorrect";
    case kErrorDiskFull: return u"There is not enough space on the disk";
    case kErrorAlreadyExists: return u"Cannot create a file when that file already exists";
    case kErrorResourceNameNotFound: return u"The specified resource name cannot be found in the image file";
    default: return Utf8ToUtf16("Unknown error " + std::to_string(code));
  }
}

}  // namespace platform
