#pragma once

// Project folders for the master-data tests: files written and read as the
// lines they hold, each ended with CR LF.

#include "core/model/message_sink.h"
#include "support/temp_dir.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace takton::testing {

// Collects the messages a cascade shows.
class RecordingSink : public IMessageSink {
  public:
    void ShowMessage(std::string_view cp1252) override { messages.emplace_back(cp1252); }
    std::vector<std::string> messages;
};

} // namespace takton::testing
