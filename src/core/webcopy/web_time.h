#pragma once

// Times of day as web timetables write them: "6:25", "06:25", "6.25", with or
// without "am"/"pm" ("a.m."/"p.m.") or "Uhr". Text is cp1252.

#include <optional>
#include <string>
#include <string_view>

namespace takton {

struct TWebTime {
    int Hour = 0; // 0-23
    int Minute = 0;
};

// The time a whole text stands for, blanks at either end ignored: one or two
// digits of hour, ":" or ".", two digits of minute, then optionally blanks and
// "am", "pm", "a.m.", "p.m." or "Uhr" (any letter case). With am/pm the hour
// runs 1-12 ("12:05 am" is 00:05), without it 0-23.
std::optional<TWebTime> ParseWebTime(std::string_view text);

// The text as the timetable takes it from a web page: a time in the form
// above becomes "HH:MM" ("6.25pm" gives "18:25", "06.25" gives "06:25");
// any other text stays as it is.
std::string TimetableTimeText(std::string_view text);

// Whether the source of a table cell (between its tags) shows a time: inner
// tags are skipped, character references decoded, blanks trimmed. Gives up at
// the first character that cannot start a time, so most cells cost little.
bool IsTimeLikeHtmlCell(std::string_view source);

} // namespace takton
