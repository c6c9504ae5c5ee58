#pragma once

// Where the core shows a message that does not stop an operation (a timetable
// file that could not be deleted or renamed). The windows show it in a message
// box with an OK button, the command-line tool prints it to standard error.

#include <string_view>

namespace takton {

class IMessageSink {
  public:
    virtual ~IMessageSink() = default;
    // A German message in cp1252.
    virtual void ShowMessage(std::string_view cp1252) = 0;
};

} // namespace takton
