// The module as a current player meets it, loaded from its file: the plug-in header and its
// identity, the visualisation it registers with the player's core, drawn and resized from the
// player's visualisation thread while the initialising thread pumps the clock, clicks that open
// the options window, the settings dialog of the player's plug-in list, settings in the player's
// profile folder, and a finalisation that leaves nothing of the module behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "fanhost/driven_visual.h"
#include "fanhost/host_core.h"
#include "fanhost/module_host.h"
#include "platform/surface.h"
#include "platform/text.h"
#include "platform/window.h"
#include "screen_input.h"
#include "support/image_compare.h"
#include "support/pump.h"
#include "support/scratch_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::MouseButton;
using platform::Point;
using platform::Rect;

bool PumpUntil(const std::function<bool()>& done) { return vf::test::PumpUntil(done, 15000ms); }

std::u16string Folder(const fs::path& folder, bool withSeparator) {
  std::u16string text = platform::Utf8ToUtf16(folder.string());
  if (withSeparator)
    text += platform::Utf8ToUtf16(std::string(1, static_cast<char>(fs::path::preferred_separator)));
  return text;
}

#ifdef _WIN32
// The owner of this thread's shown window other than the player's own.
struct OwnerSearch {
  HWND parent;
  HWND owner = nullptr;
};
BOOL CALLBACK FindOwnerOfShownWindow(HWND window, LPARAM found) {
  auto& search = *reinterpret_cast<OwnerSearch*>(found);
  if (window != search.parent && IsWindowVisible(window))
    search.owner = GetWindow(window, GW_OWNER);
  return TRUE;
}
#endif

// A player's side: the module loaded, its header, and the core it is initialised with.
struct CurrentHost : ::testing::Test {
  fanhost::ModuleHost host;
  fs::path scratch =
      vf::test::ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());

  void SetUp() override {
    ASSERT_TRUE(host.Load(fanhost::ModulePathBesideExecutable("VindeluxFan"),
                          fanhost::PluginInterface::Current))
        << host.LastError();
  }

  // The area after one silent frame drawn the way the player draws, on its own thread.
  static platform::PixelBuffer Draw(fanhost::DrivenVisual& visual, platform::Surface& area,
                                    int level) {
    aimp::TAIMPVisualData data{};
    data.LevelL = data.LevelR = level;
    visual.Render(area.DC(), data);
    return platform::ReadPixels(area.DC(), 0, 0, area.Width(), area.Height());
  }

  // One visualisation session with the profile folder given: the first silent frame.
  platform::PixelBuffer FirstFrame(const std::u16string& profile) {
    fanhost::HostCore core(profile);
    const fanhost::HeaderRef header = host.QueryHeader();
    EXPECT_EQ((*header).Initialize(header.Get(), &core), aimp::kOk);
    auto* visualization = core.Visualization();
    if (visualization == nullptr) return {};
    platform::Surface area;
    area.SetSize(160, 120);
    visualization->Vtbl->Initialize(visualization, 160, 120);
    const auto frame = Draw(*fanhost::DriveCurrent(visualization), area, 0);
    visualization->Vtbl->Finalize(visualization);
    (*header).Finalize(header.Get());
    return frame;
  }
};

TEST_F(CurrentHost, HeaderSaysWhatItIsAndOffersItsSettingsDialog) {
  EXPECT_EQ(host.QueryHeaderInto(nullptr), aimp::kPointer);
  const fanhost::HeaderRef header = host.QueryHeader();
  ASSERT_TRUE(header);
  auto* self = header.Get();
  const auto& slots = *header;
  const struct {
    std::int32_t index;
    const char* text;
  } infos[] = {
      {aimp::kPluginInfoName, "Vindelux Fan"},
      {aimp::kPluginInfoAuthor, "The Vindelux Fan developers"},
      {aimp::kPluginInfoShortDescription,
       "Spinning fans that turn faster as the music gets louder"},
      {7, ""},
      {-1, ""},
  };
  for (const auto& info : infos)
    EXPECT_EQ(fanhost::Narrow(slots.InfoGet(self, info.index)), info.text) << info.index;
  EXPECT_NE(
      fanhost::Narrow(slots.InfoGet(self, aimp::kPluginInfoFullDescription)).find("Click the fans"),
      std::string::npos);
  EXPECT_EQ(slots.InfoGetCategories(self), aimp::kPluginCategoryVisuals);

  void* object = self;
  const aimp::Guid other{0xDEADBEEF, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  EXPECT_EQ(slots.Unknown.QueryInterface(aimp::AsUnknown(self), &other, &object),
            aimp::kNoInterface);
  EXPECT_EQ(object, nullptr);
  ASSERT_EQ(slots.Unknown.QueryInterface(aimp::AsUnknown(self),
                                         &aimp::kIidAIMPExternalSettingsDialog, &object),
            aimp::kOk);
  auto* dialog = static_cast<aimp::IAIMPExternalSettingsDialog*>(object);
  // Its unknown is the header's: both views count as one object.
  EXPECT_EQ(dialog->Vtbl->Unknown.AddRef(aimp::AsUnknown(dialog)), 3u);
  EXPECT_EQ(slots.Unknown.Release(aimp::AsUnknown(self)), 2u);
  EXPECT_EQ(dialog->Vtbl->Unknown.Release(aimp::AsUnknown(dialog)), 1u);
  // Before the player initialises the plug-in there is nowhere to keep a choice: no window.
  dialog->Vtbl->Show(dialog, nullptr);
  EXPECT_TRUE(window_test::OtherShownWindows(nullptr).empty());
}

TEST_F(CurrentHost, VisualisationDrawnFromThePlayersThreadTurnsClicksOpenAndNothingIsLeftBehind) {
  const fs::path profile = scratch / "profile";
  fs::create_directories(profile);
  fanhost::HostCore core(Folder(profile, false));
  {
    const fanhost::HeaderRef header = host.QueryHeader();
    auto* self = header.Get();
    ASSERT_EQ((*header).Initialize(self, &core), aimp::kOk);
    auto* visualization = core.Visualization();
    ASSERT_NE(visualization, nullptr) << "no visualisation was registered";
    const auto& slots = *visualization->Vtbl;
    aimp::IAIMPString* name = nullptr;
    ASSERT_EQ(slots.GetName(visualization, &name), aimp::kOk);
    EXPECT_EQ(platform::Utf16ToUtf8(fanhost::TextOf(name)), "Vindelux Fan");
    name->Vtbl->Unknown.Release(aimp::AsUnknown(name));
    EXPECT_EQ(slots.GetFlags(visualization), 0u) << "only the peaks are needed";
    std::int32_t width = 0, height = 0;
    EXPECT_NE(slots.GetMaxDisplaySize(visualization, &width, &height), aimp::kOk)
        << "the area has no limit";

    platform::Surface area;
    area.SetSize(320, 240);
    {
      auto visual = fanhost::DriveCurrent(visualization);
      // Drawn before the player starts it: nothing to show yet, and nothing breaks.
      Draw(*visual, area, 90);
      EXPECT_EQ(slots.Initialize(visualization, 160, 120), aimp::kOk);
      // Drawn before any resize from the drawing thread: the size Initialize gave.
      Draw(*visual, area, 0);
      visual->Resize(320, 240);
      for (int i = 0; i < 50; ++i) Draw(*visual, area, 0);
      const auto still = Draw(*visual, area, 0);
      vf::test::PumpFor(100ms);
      EXPECT_EQ(vf::test::CountDifferentPixels(Draw(*visual, area, 0), still), 0) << "silence turned the fans";
      int white = 0;
      for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
          white += still.At(x, y).r == 255 && still.At(x, y).g == 255 && still.At(x, y).b == 255;
      EXPECT_LT(white, 320 * 240 / 10) << "the area shows no scene";
      for (int i = 0; i < 20; ++i) Draw(*visual, area, 51);
      ASSERT_EQ(vf::test::PumpUntilTicks(2, 10s).ticks, 2u)
          << "the clock does not tick on the initialising thread";
      EXPECT_GT(vf::test::CountDifferentPixels(Draw(*visual, area, 51), still), 1000)
          << "loud peaks did not turn the fans";

      // Only the left button opens the options, at the pointer.
      const Point pointer{400, 200};
      window_test::MovePointer(pointer);
      ASSERT_TRUE(PumpUntil([&] { return platform::CursorPos() == pointer; }));
      slots.Click(visualization, 10, 10, aimp::kVisualClickButtonMiddle);
      vf::test::PumpFor(200ms);
      EXPECT_TRUE(window_test::OtherShownWindows(nullptr).empty())
          << "the middle button opened the options";
      slots.Click(visualization, 10, 10, aimp::kVisualClickButtonLeft);
      std::vector<Rect> shown;
      ASSERT_TRUE(PumpUntil([&] {
        return (shown = window_test::OtherShownWindows(nullptr)).size() == 1;
      })) << "a left click did not open the options window";
      EXPECT_EQ(shown[0].Top, pointer.Y + 5);
      // Frames go on from the drawing thread while the window is open.
      for (int i = 0; i < 5; ++i) Draw(*visual, area, 51);

      // The player stops the visualisation with the window open: it goes, and the choice is kept.
      slots.Finalize(visualization);
      EXPECT_TRUE(PumpUntil([&] { return window_test::OtherShownWindows(nullptr).empty(); }))
          << "the options window outlived the visualisation";
      EXPECT_EQ(vf::test::PumpFor(150ms), 0u) << "the clock outlived the visualisation";
      EXPECT_NE(vf::test::ReadBytes(profile / "Vindelux Fan.ini").find("Speed="), std::string::npos)
          << "no settings in the profile folder";
      // A frame drawn after the end changes nothing and breaks nothing.
      Draw(*visual, area, 90);
    }
    EXPECT_EQ((*header).Finalize(self), aimp::kOk);
    EXPECT_EQ(core.Visualization(), nullptr) << "the visualisation was not unregistered";
    EXPECT_EQ(core.PluginReferences(), 0u) << "the plug-in still holds the player's core";
  }
  host.Unload();
  EXPECT_EQ(vf::test::PumpFor(150ms), 0u);
}

TEST_F(CurrentHost, KeepsItsSettingsInTheProfileFolderWhateverItsNameEndsIn) {
  const platform::PixelBuffer defaults = FirstFrame(Folder(scratch / "empty", false));
  ASSERT_GT(defaults.Width(), 0);
  const struct {
    const char* folder;
    bool separator;
    int background;
  } cases[] = {{"plain", false, 2}, {"ending-in-a-separator", true, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const fs::path profile = scratch / c.folder;
    fs::create_directories(profile);
    const std::string stored =
        "; the user's own line\n[Options]\nFan=0\nBackground=" + std::to_string(c.background) +
        "\nSpeed=10\n";
    vf::test::WriteBytes(profile / "Vindelux Fan.ini", stored);
    EXPECT_GT(vf::test::CountDifferentPixels(FirstFrame(Folder(profile, c.separator)), defaults), 1000)
        << "the stored background was not read from the profile folder";
    EXPECT_EQ(vf::test::ReadBytes(profile / "Vindelux Fan.ini"), stored)
        << "the stored choice changed";
    EXPECT_FALSE(fs::exists(scratch / (std::string(c.folder) + "Vindelux Fan.ini")));
  }
}

TEST_F(CurrentHost, SettingsDialogOfThePluginListStoresTheChoiceAtOk) {
  const fs::path profile = scratch / "profile";
  fs::create_directories(profile);
  fanhost::HostCore core(Folder(profile, true));
  const fanhost::HeaderRef header = host.QueryHeader();
  ASSERT_EQ((*header).Initialize(header.Get(), &core), aimp::kOk);
  void* object = nullptr;
  ASSERT_EQ((*header).Unknown.QueryInterface(aimp::AsUnknown(header.Get()),
                                             &aimp::kIidAIMPExternalSettingsDialog, &object),
            aimp::kOk);
  auto* dialog = static_cast<aimp::IAIMPExternalSettingsDialog*>(object);
  // Shown while no visualisation runs, as from the player's plug-in list, whose window owns it
  // where windows have owners.
#ifdef _WIN32
  const HWND parent = CreateWindowExW(0, L"STATIC", L"plug-ins", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      600, 400, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
#else
  void* const parent = nullptr;
#endif
  const Point pointer{300, 150};
  window_test::MovePointer(pointer);
  ASSERT_TRUE(PumpUntil([&] { return platform::CursorPos() == pointer; }));
  dialog->Vtbl->Show(dialog, parent);
  std::vector<Rect> shown;
  ASSERT_TRUE(PumpUntil([&] {
    return (shown = window_test::OtherShownWindows(parent)).size() == 1;
  })) << "the settings dialog did not show";
#ifdef _WIN32
  OwnerSearch search{parent};
  EnumThreadWindows(GetCurrentThreadId(), FindOwnerOfShownWindow,
                    reinterpret_cast<LPARAM>(&search));
  EXPECT_EQ(search.owner, parent) << "the dialog is not owned by the player's window";
#endif
  const Rect options = shown[0];
  window_test::MovePointer({options.Left + 178, options.Top + 64});
  EXPECT_TRUE(PumpUntil([&] {
    return platform::CursorPos() == Point{options.Left + 178, options.Top + 64};
  }));
  window_test::PressButton(MouseButton::Left);
  window_test::ReleaseButton(MouseButton::Left);
  EXPECT_TRUE(PumpUntil([&] { return window_test::OtherShownWindows(parent).empty(); }))
      << "Ok did not close it";
  EXPECT_TRUE(PumpUntil([&] { return fs::exists(profile / "Vindelux Fan.ini"); }))
      << "Ok stored nothing";
  dialog->Vtbl->Unknown.Release(aimp::AsUnknown(dialog));
  EXPECT_EQ((*header).Finalize(header.Get()), aimp::kOk);
  EXPECT_EQ(core.PluginReferences(), 0u);
#ifdef _WIN32
  DestroyWindow(parent);
#endif
}

}  // namespace
