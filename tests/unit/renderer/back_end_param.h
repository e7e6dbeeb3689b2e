#pragma once

#include <gtest/gtest.h>

#include <string>

// Renderer tests run once per image back end: the imaging library's (true) and the plain one.
namespace vf::test {

inline const char* BackEndName(bool isGdiPlus) { return isGdiPlus ? "gdiplus" : "gdi"; }

inline std::string BackEndParamName(const ::testing::TestParamInfo<bool>& param) {
  return BackEndName(param.param);
}

}  // namespace vf::test
