#include "fanhost/headless_presenter.h"

#include <cstdio>
#include <utility>

#include "fanhost/snapshot.h"

namespace fanhost {

HeadlessPresenter::HeadlessPresenter(int width, int height, std::string snapshotPath,
                                     std::string recordPath, int recordFps, int recordEvery)
    : FSnapshotPath(std::move(snapshotPath)), FRecordPath(std::move(recordPath)),
      FRecordEvery(recordEvery) {
  FArea.SetSize(width, height);
  if (FRecordPath.empty()) return;
  std::string error;
  if (!FRecording.Open(FRecordPath, width, height, recordFps, error)) {
    std::fprintf(stderr, "fanhost: %s\n", error.c_str());
    FRecordPath.clear();
    FRecordFailed = true;
  }
}

void HeadlessPresenter::FramePainted(long frame) {
  if (FRecordPath.empty() || frame % FRecordEvery != 0) return;
  std::string error;
  if (!FRecording.AddFrame(platform::ReadPixels(FArea.DC(), 0, 0, FArea.Width(), FArea.Height()), error)) {
    std::fprintf(stderr, "fanhost: %s\n", error.c_str());
    FRecordPath.clear();
    FRecordFailed = true;
  }
}

bool HeadlessPresenter::Finish() {
  bool written = !FRecordFailed;
  if (FRecording.Frames() > 0) {
    std::string error;
    if (FRecording.Close(error)) {
      std::printf("%d frames recorded to %s\n", FRecording.Frames(), FRecordPath.c_str());
    } else {
      std::fprintf(stderr, "fanhost: %s\n", error.c_str());
      written = false;
    }
  }
  if (!FSnapshotPath.empty()) written = WriteSnapshot(FArea, FSnapshotPath) && written;
  return written;
}

}  // namespace fanhost
