// The resource steps of an image load report failures with kernel32's own codes and message texts,
// and a global memory block is freed by its owner whatever its lock count.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/text.h"

namespace vf::test {
namespace {

// Windows and wine word their message tables differently; either text is the system's own.
struct SystemText {
  std::uint32_t code;
  std::u16string windows;
  std::u16string wine;
};

const SystemText kTexts[] = {
    {ERROR_PATH_NOT_FOUND, u"The system cannot find the path specified", u"Path not found"},
    {ERROR_NOT_ENOUGH_MEMORY, u"Not enough memory resources are available to process this command",
     u"Not enough memory"},
    {ERROR_RESOURCE_TYPE_NOT_FOUND, u"The specified resource type cannot be found in the image file",
     u"Resource type not found"},
    {ERROR_RESOURCE_NAME_NOT_FOUND, u"The specified resource name cannot be found in the image file",
     u"Resource name not found"},
};

::testing::AssertionResult IsSystemText(const std::u16string& text, std::uint32_t code) {
  for (const SystemText& known : kTexts) {
    if (known.code == code && (text == known.windows || text == known.wine)) return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "code " << code << " gave \"" << platform::Utf16ToUtf8(text) << "\"";
}

// The lock count of a block, or GMEM_INVALID_HANDLE once it has been freed.
UINT Flags(void* handle) { return ::GlobalFlags(static_cast<HGLOBAL>(handle)); }

TEST(Win32Resources, ThisModuleIsTheBinaryTheCodeIsLinkedInto) {
  EXPECT_EQ(platform::ThisModule(), ::GetModuleHandleW(nullptr));
}

TEST(Win32Resources, AMissingNameLeavesTheSystemsCodeAndText) {
  ::SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(platform::FindResourceW(platform::ThisModule(), u"NO_SUCH_IMAGE"), nullptr);
  const std::uint32_t code = platform::GetLastError();
  EXPECT_EQ(code, static_cast<std::uint32_t>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_TRUE(IsSystemText(platform::SysErrorMessage(code), ERROR_RESOURCE_NAME_NOT_FOUND));
  // Windows resource names ignore case.
  EXPECT_NE(platform::FindResourceW(platform::ThisModule(), u"swatch"), nullptr);
}

TEST(Win32Resources, MessageTextsLoseTheirFullStopAndLineBreak) {
  for (const SystemText& known : kTexts) EXPECT_TRUE(IsSystemText(platform::SysErrorMessage(known.code), known.code));
  // A code without a message gives no text rather than whatever the buffer held.
  EXPECT_EQ(platform::SysErrorMessage(0xDEADu), u"");
}

TEST(Win32Resources, AnAllocationTooLargeForMemoryIsRefusedWithTheSystemsCode) {
  ::SetLastError(ERROR_SUCCESS);
  const platform::GlobalMemory memory = platform::GlobalMemory::Alloc(std::numeric_limits<std::size_t>::max() / 2);
  EXPECT_FALSE(memory);
  EXPECT_EQ(platform::GetLastError(), static_cast<std::uint32_t>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST(Win32Resources, GlobalMemoryIsFreedByItsOwnerEvenWhileLocked) {
  void* handle = nullptr;
  {
    const platform::GlobalMemory memory = platform::GlobalMemory::Alloc(32);
    ASSERT_TRUE(memory);
    handle = memory.Handle();
    // The renderer's load leaves its block locked for as long as the bitmap reads from it.
    ASSERT_NE(platform::GlobalLock(memory), nullptr);
    ASSERT_NE(platform::GlobalLock(memory), nullptr);
    EXPECT_EQ(Flags(handle) & GMEM_LOCKCOUNT, 2u);
  }
  EXPECT_EQ(Flags(handle), static_cast<UINT>(GMEM_INVALID_HANDLE));

  // Assigning another block frees the one held before; moving hands the block on unchanged.
  platform::GlobalMemory first = platform::GlobalMemory::Alloc(8);
  void* firstHandle = first.Handle();
  platform::GlobalLock(first);
  first = platform::GlobalMemory::Alloc(8);
  EXPECT_EQ(Flags(firstHandle), static_cast<UINT>(GMEM_INVALID_HANDLE));
  void* secondHandle = first.Handle();
  platform::GlobalMemory second = std::move(first);
  EXPECT_EQ(second.Handle(), secondHandle);
  EXPECT_EQ(Flags(secondHandle) & GMEM_LOCKCOUNT, 0u);
}

TEST(Win32Resources, AStreamNeedsABlockAndLeavesItToItsOwner) {
  platform::Stream stream;
  EXPECT_NE(platform::Stream::CreateOnHGlobal(platform::GlobalMemory(), stream), 0);
  EXPECT_FALSE(stream);

  platform::GlobalMemory memory = platform::GlobalMemory::Alloc(4);
  ASSERT_EQ(platform::Stream::CreateOnHGlobal(memory, stream), 0);
  // A second stream replaces the first; neither owns the block, so both go without freeing it.
  ASSERT_EQ(platform::Stream::CreateOnHGlobal(memory, stream), 0);
  stream = platform::Stream();
  EXPECT_NE(Flags(memory.Handle()), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

}  // namespace
}  // namespace vf::test
