#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vf {

// Nearest integer with exact halves going to the even neighbour (2.5 gives 2, 3.5 gives 4),
// independent of the floating-point rounding mode the host may have set. Values beyond the 64-bit
// range saturate and NaN gives 0, so no input is undefined behaviour.
inline std::int64_t RoundHalfEven(double value) {
  constexpr double kLimit = 9.2233720368547758e18;  // 2^63
  if (std::isnan(value)) return 0;
  if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (value < -kLimit) return std::numeric_limits<std::int64_t>::min();
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  if (whole >= kLimit) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(whole);
}

// A 64-bit intermediate brought back to 32 bits, saturating instead of wrapping.
inline std::int32_t SaturateToInt32(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace vf
