#pragma once

// The project's footnotes: a symbol, a German text and a rule of days. A
// journey carries at most one footnote (by its symbol) and runs only where
// the rule lets it. Kept in "footnotes.ini" beside the project file, one
// section per footnote in list order.

#include "core/model/calendar_date.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton {

inline constexpr std::string_view kFootnotesFile = "footnotes.ini";

// On which days of its day group a journey with the footnote runs.
enum class TFootnoteDays { All, SchoolDays, SchoolHolidays };

struct TFootnote {
    std::string Symbol; // cp1252, no blank, "," or "|"
    std::string Text;   // cp1252
    TFootnoteDays Days = TFootnoteDays::All;
    TDateList NotOn;  // "nicht am": does not run, whatever the rest says
    TDateList AlsoOn; // "auch am": runs as well, whatever the day group says
    TDateList OnlyOn; // "nur am": when given, runs on these dates alone
    bool operator==(const TFootnote &) const = default;
};

using TFootnoteList = std::vector<TFootnote>;

// "all", "school-days", "school-holidays" as the file writes the rule.
std::string FootnoteDaysKey(TFootnoteDays days);
// "alle Tage", "nur an Schultagen", "nur an Ferientagen".
std::string FootnoteDaysText(TFootnoteDays days);
// The rule in words: "nur an Schultagen, nicht am 24.12.2026" (cp1252).
std::string FootnoteRuleText(const TFootnote &footnote);

// The footnotes of the project in dir; no file: none. Sections that are not
// understood are left out.
TFootnoteList LoadFootnotes(const std::string &dir);
// Writes the list whole (crash-safe). Raises TaktonError as the checks below.
void SaveFootnotes(const std::string &dir, const TFootnoteList &footnotes);

// Raises TaktonError with a German message when a symbol is empty, holds a
// blank, "," or "|", or is given twice.
void CheckFootnotes(const TFootnoteList &footnotes);

// How many journeys of the project's timetables carry the footnote.
std::size_t JourneysWithFootnote(const std::string &dir, std::string_view symbol);

const TFootnote *FindFootnote(const TFootnoteList &footnotes, std::string_view symbol);

} // namespace takton
