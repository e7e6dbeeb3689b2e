#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/pixel_buffer.h"

// Records what the host shows as an animated PNG: the first frame whole, every later frame as
// the smallest rectangle that changed since the one before, so a still background costs nothing
// after the first frame. Frames are opaque RGB.
namespace fanhost {

class ApngWriter {
 public:
  ApngWriter() = default;
  ApngWriter(const ApngWriter&) = delete;
  ApngWriter& operator=(const ApngWriter&) = delete;
  ~ApngWriter();

  // Starts a file for frames of width x height shown for 1/fps seconds each.
  bool Open(const std::string& path, int width, int height, int fps, std::string& error);
  // Adds a frame of the opened size.
  bool AddFrame(const platform::PixelBuffer& frame, std::string& error);
  // Writes the frame count and closes the file.
  bool Close(std::string& error);

  int Frames() const { return FFrames; }

 private:
  bool WriteChunk(const char* type, const std::uint8_t* data, std::size_t size);

  std::FILE* FFile = nullptr;
  std::string FPath;
  long FActlOffset = 0;
  int FWidth = 0;
  int FHeight = 0;
  int FFps = 1;
  int FFrames = 0;
  std::uint32_t FSequence = 0;
  platform::PixelBuffer FPrevious;
};

}  // namespace fanhost
