#pragma once

#include <stdexcept>
#include <string>

// Failures are raised as exceptions that carry the system's message text; nothing inside the
// module returns error codes.
namespace vf {

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A list index outside the list.
class EArgumentOutOfRangeException : public Exception {
 public:
  EArgumentOutOfRangeException() : Exception("Argument out of range") {}
};

// The text for an internal selector outside its valid values.
inline constexpr const char* kErrorMessage = "Error Message";

}  // namespace vf
