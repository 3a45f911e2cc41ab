#pragma once
/// @file
/// The one error kind of the system: it carries the text the window shows in its error report.

#include <stdexcept>
#include <string>

namespace pw {

class PinwrightError : public std::runtime_error {
 public:
  explicit PinwrightError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pw
