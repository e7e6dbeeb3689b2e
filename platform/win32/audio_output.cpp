// Audio output on Windows through waveOut: 32-bit float stereo at the track's rate, played from a
// ring of blocks of 20 ms. A worker thread writes the queued samples into the blocks the device
// has finished with; the device's event wakes it when a block has played, and Queue wakes it when
// there is more to write (waveOut may not be called from the device's own callback, so it gets
// none). The device opens paused, as SDL's does: the player starts it.
#include "platform/audio_output.h"

#include <windows.h>
#include <mmreg.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/text.h"

namespace platform {
namespace {

constexpr std::size_t kBlocks = 5;
constexpr std::uint32_t kBlocksPerSecond = 50;  // 20 ms each
constexpr std::size_t kChannels = 2;
constexpr std::size_t kFrameBytes = kChannels * sizeof(float);

// wchar_t is a UTF-16 code unit on Windows.
std::string Narrow(const wchar_t* text) { return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text)); }

std::string ErrorText(MMRESULT error) {
  wchar_t text[MAXERRORLENGTH] = {};
  if (waveOutGetErrorTextW(error, text, MAXERRORLENGTH) != MMSYSERR_NOERROR) return "error";
  return Narrow(text);
}

struct Block {
  WAVEHDR header{};
  std::vector<float> samples;
  bool written = false;  // handed to the device and not yet taken back
};

class WaveOutput final : public AudioOutput {
 public:
  WaveOutput(HWAVEOUT device, HANDLE event, std::uint32_t sampleRate)
      : FDevice(device), FEvent(event) {
    const std::size_t blockFrames = std::max<std::uint32_t>(1, sampleRate / kBlocksPerSecond);
    for (Block& block : FBlocks) block.samples.resize(blockFrames * kChannels);
    WAVEOUTCAPSW caps{};
    if (waveOutGetDevCapsW(reinterpret_cast<UINT_PTR>(device), &caps, sizeof(caps)) ==
        MMSYSERR_NOERROR)
      FName = Narrow(caps.szPname);
    if (FName.empty()) FName = "waveOut";
    FWorker = std::thread([this] { Run(); });
  }

  ~WaveOutput() override {
    FStop = true;
    SetEvent(FEvent);
    FWorker.join();
    // Reset hands every block back as done; then they can be unprepared and the device closed.
    waveOutReset(FDevice);
    for (Block& block : FBlocks) {
      if (block.written) waveOutUnprepareHeader(FDevice, &block.header, sizeof(block.header));
    }
    waveOutClose(FDevice);
    CloseHandle(FEvent);
  }

  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  void Queue(const float* samples, std::size_t frames) override {
    {
      std::lock_guard guard(FMutex);
      // What was written to the device already is dropped from the front before the queue grows.
      if (FRead > 0 && FRead >= FPending.size() / 2) {
        FPending.erase(FPending.begin(), FPending.begin() + static_cast<std::ptrdiff_t>(FRead));
        FRead = 0;
      }
      FPending.insert(FPending.end(), samples, samples + frames * kChannels);
    }
    SetEvent(FEvent);
  }

  std::size_t QueuedFrames() const override {
    std::lock_guard guard(FMutex);
    return (FPending.size() - FRead) / kChannels;
  }

  // Written to the device and not yet played, by the device's own count of what it played; by
  // the blocks still out when it keeps no count.
  std::size_t DeviceFrames() const override {
    std::lock_guard guard(FMutex);
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(FDevice, &time, sizeof(time)) == MMSYSERR_NOERROR) {
      std::size_t played = 0;
      bool known = true;
      if (time.wType == TIME_SAMPLES) played = time.u.sample;
      else if (time.wType == TIME_BYTES) played = time.u.cb / kFrameBytes;
      else known = false;
      if (known) return FWritten - std::min(FWritten, played);
    }
    std::size_t out = 0;
    for (const Block& block : FBlocks) {
      if (block.written && !Done(block)) out += block.header.dwBufferLength / kFrameBytes;
    }
    return out;
  }

  void SetPaused(bool paused) override {
    std::lock_guard guard(FMutex);
    if (paused) waveOutPause(FDevice);
    else waveOutRestart(FDevice);
  }

  std::string Name() const override { return FName; }

 private:
  // The device sets the flag from its own thread.
  static bool Done(const Block& block) {
    return (static_cast<const volatile DWORD&>(block.header.dwFlags) & WHDR_DONE) != 0;
  }

  void Run() {
    while (!FStop) {
      {
        std::lock_guard guard(FMutex);
        Refill();
      }
      // Woken by the device when a block has played, by Queue, or by the destructor; the time
      // limit only guards against a lost wake.
      WaitForSingleObject(FEvent, 100);
    }
  }

  // Called under the lock: every block the device is done with takes the next queued samples.
  void Refill() {
    for (Block& block : FBlocks) {
      const std::size_t available = (FPending.size() - FRead) / kChannels;
      if (available == 0) return;
      if (block.written) {
        if (!Done(block)) continue;
        waveOutUnprepareHeader(FDevice, &block.header, sizeof(block.header));
        block.written = false;
      }
      const std::size_t frames = std::min(available, block.samples.size() / kChannels);
      std::copy_n(FPending.begin() + static_cast<std::ptrdiff_t>(FRead), frames * kChannels,
                  block.samples.begin());
      block.header = WAVEHDR{};
      block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
      block.header.dwBufferLength = static_cast<DWORD>(frames * kFrameBytes);
      if (waveOutPrepareHeader(FDevice, &block.header, sizeof(block.header)) != MMSYSERR_NOERROR)
        return;
      if (waveOutWrite(FDevice, &block.header, sizeof(block.header)) != MMSYSERR_NOERROR) {
        waveOutUnprepareHeader(FDevice, &block.header, sizeof(block.header));
        return;
      }
      block.written = true;
      FRead += frames * kChannels;
      FWritten += frames;
    }
  }

  HWAVEOUT FDevice;
  HANDLE FEvent;
  std::string FName;
  mutable std::mutex FMutex;
  std::vector<float> FPending;  // queued samples; those before FRead are written already
  std::size_t FRead = 0;
  std::size_t FWritten = 0;  // frames handed to the device since it was opened
  std::array<Block, kBlocks> FBlocks;
  std::atomic<bool> FStop{false};
  std::thread FWorker;
};

}  // namespace

std::unique_ptr<AudioOutput> AudioOutput::Open(std::uint32_t sampleRate, std::string& why) {
  if (waveOutGetNumDevs() == 0) {
    why = "no sound device";
    return nullptr;
  }
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
  format.nChannels = kChannels;
  format.nSamplesPerSec = sampleRate;
  format.wBitsPerSample = 32;
  format.nBlockAlign = static_cast<WORD>(kFrameBytes);
  format.nAvgBytesPerSec = sampleRate * static_cast<DWORD>(kFrameBytes);
  // Auto-reset: every signal wakes the worker once.
  const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (event == nullptr) {
    why = "no event for the sound device";
    return nullptr;
  }
  HWAVEOUT device = nullptr;
  const MMRESULT opened = waveOutOpen(&device, WAVE_MAPPER, &format,
                                      reinterpret_cast<DWORD_PTR>(event), 0, CALLBACK_EVENT);
  if (opened != MMSYSERR_NOERROR) {
    CloseHandle(event);
    why = "the sound device plays no float stereo at " + std::to_string(sampleRate) + " Hz (" +
          ErrorText(opened) + ")";
    return nullptr;
  }
  waveOutPause(device);
  return std::make_unique<WaveOutput>(device, event, sampleRate);
}

}  // namespace platform
