#include "options/skin/internal_skins.h"

#include <cstdint>

namespace vf::skin {
namespace {

constexpr TColor Hex(std::uint32_t rgb) {
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)};
}
TGradient Lin(std::uint32_t top, std::uint32_t bottom) { return TGradient::Linear(Hex(top), Hex(bottom)); }
TGradient Glass(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, float split = 0.5f) {
  return TGradient::Glass(Hex(a), Hex(b), Hex(c), Hex(d), split);
}
TFace Face(TGradient fill, std::uint32_t border, std::uint32_t highlight = 0xffffff, float highlightAlpha = 0) {
  return {fill, Hex(border), Hex(highlight), highlightAlpha};
}

// Deep: a night-sea blue with cool cyan light.
TSkin Deep() {
  TSkin s;
  s.Name = u"Deep (internal)";
  s.Form = {.Background = Lin(0x12284a, 0x040a16), .Border = Hex(0x2d5a96), .InnerBorder = Hex(0x6a9ee6),
            .InnerBorderAlpha = 0.3f, .CornerRadius = 6, .HeaderBand = Lin(0x0c2446, 0x030914),
            .HeaderBandAlpha = 0.7f, .Divider = Hex(0x3d6fb3), .DividerAlpha = 0.45f,
            .LabelText = Hex(0x9fc8f7), .LabelShadow = Hex(0x000000), .LabelShadowAlpha = 0.7f,
            .TitleText = Hex(0xe6f2ff), .TitleShadow = Hex(0x1f74d8), .TitleShadowAlpha = 0.8f};
  s.RadioButton = {.Normal = Face(Lin(0x1d3a64, 0x0b1a33), 0x4275b8, 0x8dbaf2, 0.35f),
                   .Hot = Face(Lin(0x29507f, 0x12294b), 0x66a0e8, 0x9fcaff, 0.45f),
                   .Pressed = Face(Lin(0x08142a, 0x173260), 0x4275b8),
                   .Dot = Hex(0x36a8ff), .DotHighlight = Hex(0xe0f4ff), .DotGlow = Hex(0x2a9dff),
                   .DotGlowAlpha = 0.45f, .Focus = Hex(0x8fd0ff)};
  s.TrackBar = {.Channel = Lin(0x030812, 0x0e1f3a), .ChannelBorder = Hex(0x2a4d7e),
                .ChannelFilled = Lin(0x2a93ef, 0x0f4f96),
                .Thumb = Face(Glass(0x6ba8ee, 0x3c7ccc, 0x2964b2, 0x1d4f92), 0x081c3a, 0xc2ddff, 0.6f),
                .ThumbHot = Face(Glass(0x86bbf7, 0x4d8edc, 0x3374c4, 0x255ca4), 0x081c3a, 0xd6e9ff, 0.7f),
                .ThumbPressed = Face(Lin(0x1a4a8c, 0x2c68b8), 0x081c3a),
                .ThumbRadius = 4, .Grip = Hex(0x0a2246), .GripAlpha = 0.55f, .Tick = Hex(0x4f7db8),
                .Focus = Hex(0x8fd0ff)};
  s.Button = {.Normal = Face(Glass(0x5595e2, 0x3473c4, 0x2560aa, 0x1b4b8a), 0x081c3a, 0xb8d8ff, 0.6f),
              .Hot = Face(Glass(0x6eaaf0, 0x4585d6, 0x3070c0, 0x22589e), 0x081c3a, 0xd0e6ff, 0.7f),
              .Pressed = Face(Lin(0x153b72, 0x2a62aa), 0x081c3a),
              .Radius = 4, .Text = Hex(0xffffff), .TextShadow = Hex(0x061833), .TextShadowAlpha = 0.8f,
              .BoldCaption = true, .Focus = Hex(0xdff0ff)};
  return s;
}

// DarkGlass: smoked graphite glass lit in amber.
TSkin DarkGlass() {
  TSkin s;
  s.Name = u"DarkGlass (internal)";
  s.Form = {.Background = Glass(0x46494f, 0x2e3035, 0x222428, 0x0e0f11, 0.18f), .Border = Hex(0x000000),
            .InnerBorder = Hex(0x9aa0aa), .InnerBorderAlpha = 0.4f, .CornerRadius = 8,
            .HeaderBand = Lin(0x08090a, 0x1b1c1f), .HeaderBandAlpha = 0.6f, .Divider = Hex(0xffffff),
            .DividerAlpha = 0.1f, .LabelText = Hex(0xdadde2), .LabelShadow = Hex(0x000000),
            .LabelShadowAlpha = 0.85f, .TitleText = Hex(0xffb04a), .TitleShadow = Hex(0x000000),
            .TitleShadowAlpha = 0.9f};
  s.RadioButton = {.Normal = Face(Glass(0x60646c, 0x41444a, 0x2c2e33, 0x1c1d20), 0x060607, 0xffffff, 0.3f),
                   .Hot = Face(Glass(0x767a83, 0x53565d, 0x393b41, 0x26282b), 0x060607, 0xffffff, 0.4f),
                   .Pressed = Face(Lin(0x141517, 0x2c2e33), 0x060607),
                   .Dot = Hex(0xff9f38), .DotHighlight = Hex(0xfff1dc), .DotGlow = Hex(0xff9a2e),
                   .DotGlowAlpha = 0.45f, .Focus = Hex(0xffc47e)};
  s.TrackBar = {.Channel = Lin(0x020202, 0x1b1c1f), .ChannelBorder = Hex(0x000000),
                .ChannelFilled = Lin(0xffbb5c, 0xd06e12),
                .Thumb = Face(Glass(0x777b84, 0x52555c, 0x3a3c42, 0x28292d), 0x040405, 0xffffff, 0.4f),
                .ThumbHot = Face(Glass(0x8b9099, 0x62656d, 0x46484f, 0x303236), 0x040405, 0xffffff, 0.5f),
                .ThumbPressed = Face(Lin(0x1e1f22, 0x3a3c42), 0x040405),
                .ThumbRadius = 5, .Grip = Hex(0x000000), .GripAlpha = 0.5f, .Tick = Hex(0x7d828b),
                .Focus = Hex(0xffc47e)};
  s.Button = {.Normal = Face(Glass(0x64686f, 0x44474d, 0x2e3035, 0x1e1f22), 0x040405, 0xffffff, 0.35f),
              .Hot = Face(Glass(0x787c84, 0x55585f, 0x3c3e44, 0x2a2b2f), 0x040405, 0xffffff, 0.45f),
              .Pressed = Face(Lin(0x161719, 0x2e3035), 0x040405),
              .Radius = 5, .Text = Hex(0xffc47e), .TextShadow = Hex(0x000000), .TextShadowAlpha = 0.9f,
              .BoldCaption = true, .Focus = Hex(0xffc47e)};
  return s;
}

// MacOS: brushed light aluminium with aqua glass.
TSkin MacOS() {
  TSkin s;
  s.Name = u"MacOS (internal)";
  s.Form = {.Background = Lin(0xf6f6f7, 0xcfd1d5), .Border = Hex(0x858890), .InnerBorder = Hex(0xffffff),
            .InnerBorderAlpha = 0.9f, .CornerRadius = 7, .HeaderBand = Lin(0xdfe1e5, 0xc4c7cd),
            .HeaderBandAlpha = 0.6f, .Divider = Hex(0x9a9da4), .DividerAlpha = 0.35f,
            .LabelText = Hex(0x2a2b2e), .LabelShadow = Hex(0xffffff), .LabelShadowAlpha = 0.8f,
            .TitleText = Hex(0x3b3f46), .TitleShadow = Hex(0xffffff), .TitleShadowAlpha = 0.95f};
  s.RadioButton = {.Normal = Face(Lin(0xffffff, 0xdcdee2), 0x7f838b, 0xffffff, 0.0f),
                   .Hot = Face(Lin(0xffffff, 0xe6eefa), 0x4f86d0, 0xffffff, 0.0f),
                   .Pressed = Face(Lin(0xc6c9cf, 0xe8e9ec), 0x6d7178),
                   .Dot = Hex(0x1e6fdc), .DotHighlight = Hex(0xb8dcff), .DotGlow = Hex(0x4d94ef),
                   .DotGlowAlpha = 0.35f, .Focus = Hex(0x5c9cf2)};
  s.TrackBar = {.Channel = Lin(0xb3b6bc, 0xe9eaed), .ChannelBorder = Hex(0x858890),
                .ChannelFilled = Glass(0xa6d3ff, 0x5ea8f5, 0x2f86ea, 0x66b6ff),
                .Thumb = Face(Glass(0xffffff, 0xf2f2f4, 0xdedfe3, 0xf3f3f5), 0x767a82, 0xffffff, 0.0f),
                .ThumbHot = Face(Glass(0xffffff, 0xf5f9ff, 0xdde8f6, 0xf3f7fd), 0x4f86d0, 0xffffff, 0.0f),
                .ThumbPressed = Face(Lin(0xcfd2d8, 0xeeeff1), 0x6d7178),
                .ThumbRadius = 7, .Grip = Hex(0x8a8d94), .GripAlpha = 0.45f, .Tick = Hex(0x8a8d94),
                .Focus = Hex(0x5c9cf2)};
  s.Button = {.Normal = Face(Glass(0xc3e3ff, 0x82bff7, 0x3f90e8, 0x86c8ff), 0x2b5ea6, 0xffffff, 0.7f),
              .Hot = Face(Glass(0xd6edff, 0x95cafa, 0x4f9ef0, 0x98d3ff), 0x2b5ea6, 0xffffff, 0.8f),
              .Pressed = Face(Glass(0x94c3ef, 0x5a9be0, 0x2a73cf, 0x5ea8f0), 0x1f4c8c, 0xffffff, 0.4f),
              .Radius = 10, .Text = Hex(0x0c2a52), .TextShadow = Hex(0xffffff), .TextShadowAlpha = 0.5f,
              .BoldCaption = true, .Focus = Hex(0x12407f)};
  return s;
}

// TV-b: a black cathode-ray screen with green phosphor glow and scan lines.
TSkin TvB() {
  TSkin s;
  s.Name = u"TV-b (internal)";
  s.Form = {.Background = Lin(0x0d1a12, 0x020503), .Border = Hex(0x2f5a3c), .InnerBorder = Hex(0x58ff8f),
            .InnerBorderAlpha = 0.2f, .CornerRadius = 4, .HeaderBand = Lin(0x0b2414, 0x030e07),
            .HeaderBandAlpha = 0.75f, .Divider = Hex(0x3cff7a), .DividerAlpha = 0.2f,
            .ScanlineAlpha = 0.28f, .LabelText = Hex(0x6dff9b), .LabelShadow = Hex(0x10803a),
            .LabelShadowAlpha = 0.5f, .TitleText = Hex(0xbcffd0), .TitleShadow = Hex(0x22d864),
            .TitleShadowAlpha = 0.55f};
  s.RadioButton = {.Normal = Face(Lin(0x06120b, 0x0f2819), 0x2fae5a, 0x6dff9b, 0.2f),
                   .Hot = Face(Lin(0x0a1d12, 0x163a24), 0x6dff9b, 0x9dffbc, 0.3f),
                   .Pressed = Face(Lin(0x010603, 0x07160d), 0x2fae5a),
                   .Dot = Hex(0x5cf58c), .DotHighlight = Hex(0xe6ffee), .DotGlow = Hex(0x2fff74),
                   .DotGlowAlpha = 0.45f, .Focus = Hex(0xbcffd0)};
  s.TrackBar = {.Channel = Lin(0x000000, 0x06140b), .ChannelBorder = Hex(0x1f6b39),
                .ChannelFilled = Lin(0x48e883, 0x178a41),
                .Thumb = Face(Lin(0x14442a, 0x07200f), 0x4be07f, 0xbcffd0, 0.3f),
                .ThumbHot = Face(Lin(0x1c5e37, 0x0b2e17), 0x7dffa6, 0xd4ffe1, 0.4f),
                .ThumbPressed = Face(Lin(0x05170b, 0x103d22), 0x4be07f),
                .ThumbRadius = 2, .Grip = Hex(0x6dff9b), .GripAlpha = 0.6f, .Tick = Hex(0x2fae5a),
                .Focus = Hex(0xbcffd0)};
  s.Button = {.Normal = Face(Lin(0x14442a, 0x061a0d), 0x4be07f, 0xbcffd0, 0.25f),
              .Hot = Face(Lin(0x1d5f38, 0x0a2a15), 0x7dffa6, 0xd4ffe1, 0.35f),
              .Pressed = Face(Lin(0x031008, 0x103d22), 0x4be07f),
              .Radius = 2, .Text = Hex(0x9dffbc), .TextShadow = Hex(0x10803a), .TextShadowAlpha = 0.6f,
              .BoldCaption = true, .Focus = Hex(0xbcffd0)};
  return s;
}

// Cold: frosted glass over ice blue, steel-blue ink.
TSkin Cold() {
  TSkin s;
  s.Name = u"Cold (internal)";
  s.Form = {.Background = Lin(0xedf7fd, 0xadcde3), .Border = Hex(0x5a8cb2), .InnerBorder = Hex(0xffffff),
            .InnerBorderAlpha = 0.85f, .CornerRadius = 6, .HeaderBand = Lin(0xd2e8f6, 0x97bfdb),
            .HeaderBandAlpha = 0.6f, .Divider = Hex(0x6d9cc0), .DividerAlpha = 0.35f,
            .LabelText = Hex(0x1c4a70), .LabelShadow = Hex(0xffffff), .LabelShadowAlpha = 0.75f,
            .TitleText = Hex(0x0f3658), .TitleShadow = Hex(0xffffff), .TitleShadowAlpha = 0.85f};
  s.RadioButton = {.Normal = Face(Lin(0xffffff, 0xd5e8f5), 0x6a9abf, 0xffffff, 0.0f),
                   .Hot = Face(Lin(0xffffff, 0xe4f3ff), 0x3a80bf, 0xffffff, 0.0f),
                   .Pressed = Face(Lin(0xbcd7eb, 0xe3f0f9), 0x5a8cb2),
                   .Dot = Hex(0x2774b6), .DotHighlight = Hex(0xd4eeff), .DotGlow = Hex(0x6fb6ea),
                   .DotGlowAlpha = 0.45f, .Focus = Hex(0x2774b6)};
  s.TrackBar = {.Channel = Lin(0x9bbdd5, 0xdcecf6), .ChannelBorder = Hex(0x6a9abf),
                .ChannelFilled = Lin(0x86c9f3, 0x3a8bc9),
                .Thumb = Face(Glass(0xffffff, 0xeef6fc, 0xd2e5f3, 0xe8f3fb), 0x5a8cb2, 0xffffff, 0.8f),
                .ThumbHot = Face(Glass(0xffffff, 0xf4fbff, 0xdaedfa, 0xf0f8ff), 0x3a80bf, 0xffffff, 0.9f),
                .ThumbPressed = Face(Lin(0xbed9ec, 0xe3f0f9), 0x4f82a8),
                .ThumbRadius = 4, .Grip = Hex(0x5a8cb2), .GripAlpha = 0.5f, .Tick = Hex(0x5a8cb2),
                .Focus = Hex(0x2774b6)};
  s.Button = {.Normal = Face(Glass(0xffffff, 0xe4f1fa, 0xc8e0f0, 0xdcedf8), 0x4f82a8, 0xffffff, 0.9f),
              .Hot = Face(Glass(0xffffff, 0xeef8ff, 0xd2eafa, 0xe6f5ff), 0x2f74b2, 0xffffff, 0.9f),
              .Pressed = Face(Lin(0xb3d1e7, 0xd8eaf6), 0x3f6f94),
              .Radius = 4, .Text = Hex(0x0f3658), .TextShadow = Hex(0xffffff), .TextShadowAlpha = 0.7f,
              .BoldCaption = true, .Focus = Hex(0x2774b6)};
  return s;
}

TSkin Plain() {
  TSkin s;
  s.Form = {.Background = TGradient::Solid(Hex(0x000000)), .Border = Hex(0x000000),
            .LabelText = Hex(0x000000), .TitleText = Hex(0x000000)};
  const TFace face = Face(Lin(0xf4f4f4, 0xdedede), 0x707070, 0xffffff, 0.6f);
  const TFace hot = Face(Lin(0xeaf5fd, 0xcfe6f8), 0x3c7fb1, 0xffffff, 0.6f);
  const TFace pressed = Face(Lin(0xc4e0f5, 0xb0d3ee), 0x2c628b);
  s.RadioButton = {.Normal = face, .Hot = hot, .Pressed = pressed, .Dot = Hex(0x1a1a1a),
                   .DotHighlight = Hex(0x5a5a5a), .Focus = Hex(0xffffff)};
  s.TrackBar = {.Channel = Lin(0xd6d6d6, 0xf2f2f2), .ChannelBorder = Hex(0x8a8a8a),
                .ChannelFilled = Lin(0xd6d6d6, 0xf2f2f2), .Thumb = face, .ThumbHot = hot,
                .ThumbPressed = pressed, .ThumbRadius = 2, .Tick = Hex(0xa0a0a0), .Focus = Hex(0xffffff)};
  s.Button = {.Normal = face, .Hot = hot, .Pressed = pressed, .Radius = 3, .Text = Hex(0x000000),
              .Focus = Hex(0x000000)};
  return s;
}

}  // namespace

std::vector<TSkin> InternalSkins() { return {Deep(), DarkGlass(), MacOS(), TvB(), Cold()}; }

const TSkin& PlainLook() {
  static const TSkin plain = Plain();
  return plain;
}

}  // namespace vf::skin
