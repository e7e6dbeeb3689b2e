#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/resources.h"

// What the portable global memory blocks and streams are, for the imaging code that reads them.
namespace platform::portable {

// A global memory block: a heap block that knows its size. GlobalMemory's handle points to one.
struct GlobalBlock {
  std::size_t size;
  std::unique_ptr<std::uint8_t[]> bytes;
};

// A stream over a block it does not own; Stream's pointer points to one.
struct StreamImpl {
  const GlobalBlock* block;
};

inline const StreamImpl* StreamOf(const Stream& stream) { return static_cast<const StreamImpl*>(stream.Get()); }

// The calling thread's last error, as kernel32's SetLastError keeps it.
void SetLastErrorCode(std::uint32_t code);

}  // namespace platform::portable
