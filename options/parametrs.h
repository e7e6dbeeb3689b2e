#pragma once

#include <cstdint>

// The user's three parameters, a plain value record copied wherever it is passed.
namespace vf {

struct TParametrs {
  std::int32_t Speed = 0;
  std::int32_t Fan = 0;
  std::int32_t Background = 0;
  friend bool operator==(const TParametrs&, const TParametrs&) = default;
};

// What a missing settings file yields: the first fan skin and background at speed 10.
inline constexpr TParametrs kDefaultParametrs{10, 0, 0};

}  // namespace vf
