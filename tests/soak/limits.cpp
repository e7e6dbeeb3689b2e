// The module at the limits of its process, driven through its export as a host drives it:
// - the area grows through a ladder of 16:9 sizes until the scene no longer builds, each size
//   showing whether the picture appears, what the resize and the frames cost and what the process
//   holds after them; then a size that fits again must bring the picture back;
// - in a 32-bit process, the address space is filled until 256 MiB are left and a 3840 x 2160
//   resize must be contained: the host keeps working at a small size, and once the space is given
//   back the large size builds again.
// The host's own surface stays at 1920 x 1080 throughout, so what fills the address space is the
// module's. 64-bit processes climb the ladder only to 7680 x 4320: beyond it a 64-bit module finds
// no limit of its own, only the machine's memory.
//
// Usage: vf_limits [--ladder | --full-address-space]   (both when none is named; exit code 1 when
//   the host stops working after a contained failure)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "fanhost/module_host.h"
#include "platform/message_pump.h"
#include "platform/pixel_buffer.h"
#include "platform/surface.h"
#include "soak/export_host.h"
#include "soak/holdings.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kHostWidth = 1920, kHostHeight = 1080;
constexpr int kRendersPerSize = 8;
constexpr bool kThirtyTwoBit = sizeof(void*) == 4;
#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

struct Size {
  int width, height;
};
constexpr Size kLadder[] = {{1920, 1080},  {3840, 2160},  {5120, 2880},   {7680, 4320},
                            {10240, 5760}, {15360, 8640}, {20480, 11520}, {30720, 17280}};

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Whether a render call drew into the host's surface: a marked corner that stays marked got
// nothing.
bool RenderShowsPicture(soak::Host& host, int level) {
  constexpr platform::Pixel32 kMark{255, 0, 255, 255};  // b, g, r, a: fuchsia
  platform::PixelBuffer mark(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) mark.At(x, y) = kMark;
  platform::WritePixels(host.Area(), 0, 0, mark);
  host.Render(level);
  const platform::Pixel32 corner = platform::ReadPixels(host.Area(), 0, 0, 1, 1).At(0, 0);
  return !(corner.r == kMark.r && corner.g == kMark.g && corner.b == kMark.b);
}

struct Outcome {
  bool shown = false;
  double resizeMs = 0, firstMs = 0, restMs = 0;
};

// A resize and a few frames, the clock's ticks pumped between them so that the fans turn.
Outcome ResizeAndRender(soak::Host& host, Size size) {
  Outcome out;
  auto start = Clock::now();
  host.ResizeModuleOnly(size.width, size.height);
  out.resizeMs = MillisecondsSince(start);
  for (int i = 0; i < kRendersPerSize; ++i) {
    platform::PumpMessages();
    start = Clock::now();
    const bool shown = RenderShowsPicture(host, 40 + i * 7);
    const double took = MillisecondsSince(start);
    if (i == 0) {
      out.shown = shown;
      out.firstMs = took;
    } else {
      out.shown = out.shown && shown;
      out.restMs += took / (kRendersPerSize - 1);
    }
  }
  return out;
}

#ifdef _WIN32
// Reserves all the address space it can have (no memory behind it), then gives back the largest
// blocks until about `leave` bytes are free again: what can be had is what counts, as wine keeps
// areas of its own that the system's views of the address space do not show.
class AddressSpaceFiller {
 public:
  explicit AddressSpaceFiller(std::uint64_t leave) {
    for (std::size_t chunk = std::size_t{256} << 20; chunk >= (std::size_t{1} << 20); chunk /= 2) {
      while (void* block = VirtualAlloc(nullptr, chunk, MEM_RESERVE, PAGE_NOACCESS))
        FBlocks.push_back({block, chunk});
    }
    std::size_t given = 0;
    for (; given < FBlocks.size() && FLeft < leave; ++given) {
      VirtualFree(FBlocks[given].address, 0, MEM_RELEASE);
      FLeft += FBlocks[given].size;
    }
    FBlocks.erase(FBlocks.begin(), FBlocks.begin() + static_cast<std::ptrdiff_t>(given));
  }
  ~AddressSpaceFiller() {
    for (const auto& b : FBlocks) VirtualFree(b.address, 0, MEM_RELEASE);
  }
  AddressSpaceFiller(const AddressSpaceFiller&) = delete;
  AddressSpaceFiller& operator=(const AddressSpaceFiller&) = delete;

  std::uint64_t Held() const {
    std::uint64_t held = 0;
    for (const auto& b : FBlocks) held += b.size;
    return held;
  }
  std::uint64_t Left() const { return FLeft; }

 private:
  struct Block {
    void* address;
    std::size_t size;
  };
  std::vector<Block> FBlocks;
  std::uint64_t FLeft = 0;
};
#endif

void PrintRow(const char* what, Size size, const Outcome& o) {
  std::printf("%-22s %5d x %-5d %7.1f %-5s %9.0f %9.0f %9.1f %s\n", what, size.width, size.height,
              static_cast<double>(size.width) * size.height / 1e6, o.shown ? "yes" : "no",
              o.resizeMs, o.firstMs, o.restMs, soak::Describe(soak::Current()).c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  bool ladder = true, full = true;
  if (argc == 2 && std::string(argv[1]) == "--ladder") {
    full = false;
  } else if (argc == 2 && std::string(argv[1]) == "--full-address-space") {
    ladder = false;
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: vf_limits [--ladder | --full-address-space]\n");
    return 2;
  }
  fanhost::ModuleHost module;
  if (!module.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"))) {
    std::fprintf(stderr, "vf_limits: %s\n", module.LastError().c_str());
    return 2;
  }
  soak::Host host(module);
  host.Initialize();
  host.Resize(kHostWidth, kHostHeight);
  std::printf("a %d-bit process; the host's surface %d x %d\n", kThirtyTwoBit ? 32 : 64, kHostWidth,
              kHostHeight);
  std::printf("%-22s %13s %7s %-5s %9s %9s %9s %s\n", "step", "area", "Mpx", "shown", "resize ms",
              "frame ms", "next ms", "holdings after it");

  bool working = true;
  for (const Size size : kLadder) {
    if (!ladder || (!kThirtyTwoBit && size.width > 7680)) break;
    const Outcome grown = ResizeAndRender(host, size);
    PrintRow("the area grows", size, grown);
    if (grown.shown) continue;
    // The scene did not build: a size that fits must bring the picture back.
    const Outcome back = ResizeAndRender(host, {kHostWidth, kHostHeight});
    PrintRow("back to a size that fits", {kHostWidth, kHostHeight}, back);
    working = working && back.shown;
    break;
  }

#ifdef _WIN32
  if (kThirtyTwoBit && full) {
    ResizeAndRender(host, {640, 480});
    {
      const AddressSpaceFiller filler(std::uint64_t{256} << 20);
      std::printf("address space: %llu MiB could be had at 640 x 480; %llu MiB of it left\n",
                  static_cast<unsigned long long>((filler.Held() + filler.Left()) >> 20),
                  static_cast<unsigned long long>(filler.Left() >> 20));
      PrintRow("4K, the space nearly full", {3840, 2160}, ResizeAndRender(host, {3840, 2160}));
      const Outcome small = ResizeAndRender(host, {640, 480});
      PrintRow("then 640 x 480", {640, 480}, small);
      working = working && small.shown;
    }
    const Outcome again = ResizeAndRender(host, {3840, 2160});
    PrintRow("4K, the space given back", {3840, 2160}, again);
    working = working && again.shown;
  }
#endif
  if (full && !(kWindows && kThirtyTwoBit))
    std::puts("the nearly full address space is tried in 32-bit Windows processes only");
  host.Deinitialize();
  std::puts(working ? "vf_limits: the host kept working" : "vf_limits: the host stopped working");
  return working ? 0 : 1;
}
