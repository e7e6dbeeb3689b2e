#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The embedded images and how the renderer finds them: every picture is an RCDATA resource found
// by a name formed from a format, and what is shipped is discovered by probing names from 0 until
// one is missing. There is no list of shipped images anywhere.
namespace vf {

// How a background part is laid out over its band.
enum class TTypePos : std::uint8_t { tpNone, tpPart, tpStretch, tpHorz, tpVert };

struct TPartName {
  std::u16string_view Format;
  TTypePos Pos;
};

inline constexpr std::u16string_view kFanFrameFormat = u"FAN_%d_%d";

// The centre names in the order they are tried; the first present one decides the placement.
inline constexpr TPartName kCentrNames[] = {
    {u"CENTR_PART_%d", TTypePos::tpPart},
    {u"CENTR_STRETCH_%d", TTypePos::tpStretch},
    {u"CENTR_HORZ_%d", TTypePos::tpHorz},
    {u"CENTR_VERT_%d", TTypePos::tpVert},
};
inline constexpr std::u16string_view kTopLeftName = u"TOP_LEFT_%d";
inline constexpr std::u16string_view kTopRightName = u"TOP_RIGHT_%d";
inline constexpr std::u16string_view kBottomLeftName = u"BOTTOM_LEFT_%d";
inline constexpr std::u16string_view kBottomRightName = u"BOTTOM_RIGHT_%d";
inline constexpr TPartName kTopLeftRightNames[] = {
    {u"TOP_LEFT_RIGHT_PART_%d", TTypePos::tpPart}, {u"TOP_LEFT_RIGHT_STRETCH_%d", TTypePos::tpStretch}};
inline constexpr TPartName kBottomLeftRightNames[] = {
    {u"BOTTOM_LEFT_RIGHT_PART_%d", TTypePos::tpPart},
    {u"BOTTOM_LEFT_RIGHT_STRETCH_%d", TTypePos::tpStretch}};
inline constexpr TPartName kLeftTopBottomNames[] = {
    {u"LEFT_TOP_BOTTOM_PART_%d", TTypePos::tpPart}, {u"LEFT_TOP_BOTTOM_STRETCH_%d", TTypePos::tpStretch}};
inline constexpr TPartName kRightTopBottomNames[] = {
    {u"RIGHT_TOP_BOTTOM_PART_%d", TTypePos::tpPart},
    {u"RIGHT_TOP_BOTTOM_STRETCH_%d", TTypePos::tpStretch}};

// The format with each %d replaced, in order, by the decimal form of the next number
// (a leading minus sign for negative numbers, no leading zeros).
std::u16string FormatName(std::u16string_view format, std::initializer_list<std::int32_t> numbers);

// Whether the module carries an image of that name. Every probe asks afresh.
bool ResourcePresent(const std::u16string& name);

class TFanGraphic;

// Loads a named image into a graphic when the module carries it; a missing name leaves the graphic
// empty. Background parts and fan frames are both loaded through it.
bool TryLoadPart(TFanGraphic& APart, const std::u16string& AResName);

bool FanSkinExists(std::int32_t ASkin);
bool BackgroundExists(std::int32_t AIndex);
std::int32_t CountFanSkins();
std::int32_t CountBackgrounds();

}  // namespace vf
