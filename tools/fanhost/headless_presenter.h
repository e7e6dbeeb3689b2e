#pragma once

#include <string>

#include "fanhost/apng_writer.h"
#include "fanhost/presenter.h"

// The visualisation area off screen: an off-screen surface, recorded as an animated PNG and written
// as a last-frame snapshot when asked.
namespace fanhost {

class HeadlessPresenter final : public Presenter {
 public:
  // recordEvery: every how many painted frames one is recorded.
  HeadlessPresenter(int width, int height, std::string snapshotPath, std::string recordPath,
                    int recordFps, int recordEvery);

  platform::DeviceContext DC() override { return FArea.DC(); }
  int Width() const override { return FArea.Width(); }
  int Height() const override { return FArea.Height(); }
  void FramePainted(long frame) override;
  bool Finish() override;

 private:
  platform::Surface FArea;
  std::string FSnapshotPath;
  std::string FRecordPath;
  int FRecordEvery;
  ApngWriter FRecording;
  bool FRecordFailed = false;  // the recording could not be opened or written
};

}  // namespace fanhost
