#pragma once

// The command-line tool's side of the core's message sink: messages go to
// standard error, and the command ends with status 1 when any was shown.

#include "core/model/message_sink.h"
#include "core/util/cp1252.h"

#include <iostream>

namespace takton::cli {

class StderrMessageSink : public IMessageSink {
  public:
    void ShowMessage(std::string_view cp1252) override {
        std::cerr << Cp1252ToUtf8(cp1252) << '\n';
        shown_ = true;
    }
    bool AnyShown() const { return shown_; }

  private:
    bool shown_ = false;
};

} // namespace takton::cli
