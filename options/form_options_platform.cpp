// The form's link to the platform's real windows, kept apart so that programs which always hand
// the form their own services (the tests) do not need the platform's window system.
#include "options/form_options.h"

namespace vf {

TFormOptions::TServices TFormOptions::PlatformServices() {
  return {[](const platform::PopupWindowStyle& style, platform::WindowEventHandler onEvent) {
            return platform::PopupWindow::Create(style, std::move(onEvent));
          },
          [](const platform::Rect& window) { return platform::WorkAreaOf(window); }};
}

TFormOptions::TFormOptions() : TFormOptions(PlatformServices()) {}

std::unique_ptr<TFormOptions> MakeSkinnedFormOptions(std::u16string_view skinName) {
  auto form = std::make_unique<TFormOptions>();
  form->sSkinManager1.SetSkinName(skinName);
  return form;
}

}  // namespace vf
