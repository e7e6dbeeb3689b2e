#pragma once

#include <array>
#include <cstdint>
#include <string>

// A skin is data: colours, gradients, borders and glyph shapes per section of the window. One
// painter per control draws every skin; nothing is code per skin.
namespace vf::skin {

struct TColor {
  std::uint8_t R = 0, G = 0, B = 0;
  friend bool operator==(const TColor&, const TColor&) = default;
};

// A vertical gradient of up to four stops; two stops at one position make a hard edge, the "glass"
// highlight of a glossy surface.
struct TGradient {
  struct Stop {
    float At = 0;
    TColor Color{};
  };
  std::array<Stop, 4> Stops{};
  int Count = 1;

  static TGradient Solid(TColor c) { return {{{{0, c}}}, 1}; }
  static TGradient Linear(TColor top, TColor bottom) { return {{{{0, top}, {1, bottom}}}, 2}; }
  // A lit upper part (topHi to topLo) over a darker body (bodyHi to bodyLo), split at `split`.
  static TGradient Glass(TColor topHi, TColor topLo, TColor bodyHi, TColor bodyLo, float split) {
    return {{{{0, topHi}, {split, topLo}, {split, bodyHi}, {1, bodyLo}}}, 4};
  }
  TColor At(float t) const;
};

// The look of one state of a framed element (a button face, a radio ring, a slider thumb).
struct TFace {
  TGradient Fill{};
  TColor Border{};
  TColor Highlight{};           // one-pixel inner line along the top: the bevel's lit edge
  float HighlightAlpha = 0;   // 0 draws no bevel
};

struct TFormSection {          // "FORM"
  TGradient Background{};
  TColor Border{};               // the window's outer edge
  TColor InnerBorder{};          // a lit line just inside it
  float InnerBorderAlpha = 0;
  int CornerRadius = 0;        // corners outside it are cut out with the transparent colour
  TGradient HeaderBand{};        // a band behind the name label at the bottom
  float HeaderBandAlpha = 0;
  TColor Divider{};              // the line between the two columns
  float DividerAlpha = 0;
  float ScanlineAlpha = 0;     // dark every-other-line pattern over the whole window
  TColor LabelText{};            // the text colour of every label
  TColor LabelShadow{};
  float LabelShadowAlpha = 0;
  TColor TitleText{};            // the name label's own colour
  TColor TitleShadow{};
  float TitleShadowAlpha = 0;
};

struct TRadioSection {         // "RADIOBUTTON"
  TFace Normal{}, Hot{}, Pressed{};
  TColor Dot{};                  // the glyph of the selected state: a dot with a lit centre
  TColor DotHighlight{};
  TColor DotGlow{};              // a soft ring around the selected button
  float DotGlowAlpha = 0;
  TColor Focus{};
};

struct TTrackSection {         // "TRACKBAR"
  TGradient Channel{};
  TColor ChannelBorder{};
  TGradient ChannelFilled{};     // the part of the channel left of the thumb
  TFace Thumb{}, ThumbHot{}, ThumbPressed{};
  int ThumbRadius = 3;
  TColor Grip{};                 // the three ribs on the thumb
  float GripAlpha = 0;
  TColor Tick{};
  TColor Focus{};
};

struct TButtonSection {        // "BUTTON"
  TFace Normal{}, Hot{}, Pressed{};
  int Radius = 3;
  TColor Text{};
  TColor TextShadow{};
  float TextShadowAlpha = 0;
  bool BoldCaption = false;
  TColor Focus{};
};

struct TSkin {
  std::u16string Name;
  TFormSection Form;
  TRadioSection RadioButton;
  TTrackSection TrackBar;
  TButtonSection Button;
};

// The skin sections by the names the controls carry in their SkinSection.
inline constexpr char16_t kFormSection[] = u"FORM";
inline constexpr char16_t kRadioButtonSection[] = u"RADIOBUTTON";
inline constexpr char16_t kTrackBarSection[] = u"TRACKBAR";
inline constexpr char16_t kButtonSection[] = u"BUTTON";

}  // namespace vf::skin
