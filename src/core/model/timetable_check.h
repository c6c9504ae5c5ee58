#pragma once

// Checking and normalising what a planner types into the timetable grid, with
// the shorthand for minutes, offsets, intervals and journey copies. Works on
// the core grid: station rows from row 2, journey columns from column 2,
// station names in column 1.

#include "core/util/string_grid.h"

#include <string>
#include <string_view>
#include <vector>

namespace takton {

enum class TCellKind { Empty, Time, Interval, Other };

// What the checks remember between key presses and cell changes; lives as long
// as the timetable window.
struct TTimetableEditState {
    std::string SavedText;       // the cell's text before the first key press
    bool SavedTextTaken = false; // SavedText belongs to the current entry
    bool EnterPressed = false;   // the last key in the grid was Enter
    bool SkipNextCheck = false;  // a fill wrote the cells; pass the next check
};

// The yes/no question of the interval fill; the window shows a box, tests answer.
class IQuestioner {
  public:
    virtual ~IQuestioner() = default;
    virtual bool AskYesNo(const std::string &questionCp1252) = 0;
};

inline constexpr const char *kFillAllQuestion = "F\xFC"
                                                "r alle weiteren Stationen \xFC"
                                                "bernehmen?";

// Text without leading and trailing blanks and control characters.
std::string TrimCellText(std::string_view text);
// A decimal integer (leading blanks and a sign accepted), else -1.
int ToNumber(std::string_view text);
// As ToNumber, but a text that is no integer raises TaktonError
// "'<text>' ist kein gültiger Integerwert".
int StrictToNumber(std::string_view text);

TCellKind GetCellKind(const TStringGrid &grid, int col, int row);
// The kind of a journey cell's text (GetCellKind without the grid's headers).
TCellKind CellTextKind(std::string_view text);
bool ParseTime(std::string_view text, int &hour, int &minute);
// "HH:MM", or empty when out of range.
std::string FormatTime(int hour, int minute);
// Minutes of an interval text "<n> Min"; -1 without "Min" at its end.
int GetIntervalMinutes(std::string_view text);

// Kind of the nearest non-empty cell left of (col, row), down to column 1;
// foundCol gets its column (or 0 when all are empty).
TCellKind GetKindLeft(const TStringGrid &grid, int col, int row, int *foundCol = nullptr);
bool FindTimeAbove(const TStringGrid &grid, int col, int row, int &hour, int &minute);
bool FindTimeBefore(const TStringGrid &grid, int col, int row, int &hour, int &minute);
bool FindTimeLeft(const TStringGrid &grid, int col, int row, int &hour, int &minute);

bool CheckIntervalEntry(const TStringGrid &grid, int col, int row, int minutes);
// The driving rule holds towards the nearest time above and the nearest time
// below in the column; the interval rule towards the interval on the left.
bool CheckTimeEntry(const TStringGrid &grid, int col, int row, int hour, int minute,
                    int maxDriveMinutes);
void FillInterval(TStringGrid &grid, int col, int row, int minutes);
// The texts for rows row.. of column col, copied from column src shifted by
// the two journeys' difference; false when the journeys do not allow it.
bool CopyJourney(const TStringGrid &grid, int col, int row, int src,
                 std::vector<std::string> &texts);

// Why an entry is refused, in German (cp1252); empty when it is allowed.
std::string IntervalEntryRefusal(const TStringGrid &grid, int col, int row, int minutes);
std::string TimeEntryRefusal(const TStringGrid &grid, int col, int row, int hour, int minute,
                             int maxDriveMinutes);

// The outcome of checking a cell as the cursor leaves it.
struct TCheckResult {
    bool Accepted = true;
    // Why the entry was refused, in German (cp1252), for the planner to read;
    // after a fill that refuses only to let the cursor jump, what was filled.
    std::string Reason;
    explicit operator bool() const { return Accepted; }
};

// Validates the cell (col, row) as the cursor leaves it and writes the cell:
// the normalised text when accepted; when refused, the text from before the
// entry (a cell nobody typed into keeps its own text), and SavedTextTaken is
// cleared. Asks the fill question
// only for an interval that was entered (SavedTextTaken).
TCheckResult CheckCell(TStringGrid &grid, int col, int row, TTimetableEditState &state,
                       IQuestioner &questioner, int maxDriveMinutes);

} // namespace takton
