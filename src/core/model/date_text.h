#pragma once

#include <ctime>
#include <string>

namespace takton {

// A moment as the user's regional short date, a blank and the long time,
// e.g. "09.12.2026 15:04:05" with German settings. Text in cp1252.
std::string DateTimeText(std::time_t moment);
std::string CurrentDateTimeText();

} // namespace takton
