#pragma once

#include <stdexcept>
#include <string>

namespace takton {

// An error meant for the user. The message is German text in code page 1252,
// like every other text of the core; front ends convert it for display.
class TaktonError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace takton
