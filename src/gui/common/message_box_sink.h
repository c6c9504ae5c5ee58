#pragma once

// The core's notices (a timetable file that could not be renamed or deleted)
// shown to the user in a message box with an OK button.

#include "core/model/message_sink.h"

namespace takton::gui {

class TMessageBoxSink : public IMessageSink {
  public:
    void ShowMessage(std::string_view cp1252) override;
};

} // namespace takton::gui
