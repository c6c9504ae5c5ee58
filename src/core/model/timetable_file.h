#pragma once

// The timetable file of a line: "line_" + line name + ".ttd" in the project
// directory, an INI file with one section per direction and day group ("1_" or
// "2_" + day group) whose keys "1", "2", ... hold the station rows from the top.
// A row value is the station name followed by the row's cells, all joined with
// ","; there is no quoting. Every reader and writer of these files goes through
// this unit.

#include "core/model/ini_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton {

using TTimetableRows = std::vector<std::string>;

// What a journey carries beside its times: the symbol of its footnote and
// whether it is a night journey of the previous operating day (00:10 in the
// Saturday timetable then runs after Saturday's service, as 24:10). Stored
// in the section's keys "footnotes" (the symbols by journey, "," between,
// as a row holds its cells) and "nights" (the journey numbers).
struct TJourneyMarks {
    std::string Footnote;
    bool PreviousDayNight = false;
    bool Empty() const { return Footnote.empty() && !PreviousDayNight; }
    bool operator==(const TJourneyMarks &) const = default;
};
// Item j belongs to journey j + 1; journeys beyond the list carry nothing.
using TJourneyMarkList = std::vector<TJourneyMarks>;

inline constexpr std::string_view kFootnotesKey = "footnotes";
inline constexpr std::string_view kNightsKey = "nights";

// "line_" + line + ".ttd", cp1252.
std::string TimetableFileName(std::string_view line);
// The native path of the line's timetable file in the project directory.
std::string TimetablePath(const std::string &dir, std::string_view line);
// "1_" + day group or "2_" + day group.
std::string TimetableSectionName(int direction, std::string_view dayGroup);
// True for the sections of direction 2, whose rows run against the route.
bool IsReverseSection(std::string_view section);

// The station a row belongs to: the text before its first ",".
std::string_view RowStation(std::string_view row);
// True when the row belongs to the station exactly, letter case included; the
// row of Bergheim never belongs to Berg.
bool RowNamesStation(std::string_view row, std::string_view station);

class TTimetableFile {
  public:
    // Loads the file; a missing file has no sections.
    explicit TTimetableFile(std::string path);

    bool Exists() const { return ini_.FileExisted(); }
    const std::string &Path() const { return ini_.Path(); }

    // Section names in file order, only those holding at least one key.
    std::vector<std::string> Sections() const;
    bool HasSection(std::string_view section) const;
    // The rows in the order of their keys, whole however long. Keys that are not
    // row numbers are not rows.
    TTimetableRows ReadRows(std::string_view section) const;
    // Replaces the section's rows; the rows get the keys 1, 2, ... in order and
    // the section moves to the end of the file, the journey marks after
    // them; other keys go. No rows: the section is gone.
    void WriteRows(std::string_view section, const TTimetableRows &rows);
    TJourneyMarkList ReadJourneyMarks(std::string_view section) const;
    // Sets the section's marks; a list without marks removes the keys.
    void WriteJourneyMarks(std::string_view section, const TJourneyMarkList &marks);

    // Writes the file whole (crash-safe), creating it when missing.
    void Save() const { ini_.UpdateFile(); }

  private:
    TIniFile ini_;
};

} // namespace takton
