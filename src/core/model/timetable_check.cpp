#include "core/model/timetable_check.h"

#include "core/model/timetable_grid.h"
#include "core/util/counted.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <charconv>

namespace takton {
namespace {

constexpr int kMinutesPerDay = 1440;

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string WithoutBlanks(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ')
            out += c;
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool TimeAt(const TStringGrid &grid, int col, int row, int &hour, int &minute) {
    return GetCellKind(grid, col, row) == TCellKind::Time &&
           ParseTime(TrimCellText(grid.Cell(col, row)), hour, minute);
}

// The time a minute or offset entry counts from: above in the column, else in
// the journeys to the left.
bool FindBaseTime(const TStringGrid &grid, int col, int row, int &hour, int &minute,
                  bool &fromAbove) {
    fromAbove = FindTimeAbove(grid, col, row, hour, minute);
    return fromAbove || FindTimeBefore(grid, col, row, hour, minute);
}

bool FindTimeBelow(const TStringGrid &grid, int col, int row, int &hour, int &minute) {
    for (int r = row + 1; r < grid.RowCount(); ++r)
        if (TimeAt(grid, col, r, hour, minute))
            return true;
    return false;
}

std::string DriveLimitText(int maxDriveMinutes) {
    return "Fahrzeit \xFC"
           "ber " +
           Counted(maxDriveMinutes, "Minute", "Minuten");
}

std::string JourneyText(int journey) {
    return "Fahrt " + std::to_string(journey);
}

// Checks the text of a whole number strictly; empty when it is one.
std::string NotANumberText(std::string_view text) {
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    if (ToNumber(text) == -1 && rest != "-1")
        return "'" + std::string(text) + Cp1252("' ist kein gültiger Integerwert");
    return {};
}

} // namespace

std::string TrimCellText(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

int ToNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !IsDigit(text.front()))
        return -1;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return -1;
    return negative ? -value : value;
}

int StrictToNumber(std::string_view text) {
    // -1 is also a real value: tell it apart by the text itself.
    if (std::string message = NotANumberText(text); !message.empty())
        throw TaktonError(message);
    return ToNumber(text);
}

bool ParseTime(std::string_view text, int &hour, int &minute) {
    const auto colon = text.find(':');
    if (text.size() < 3 || colon == std::string_view::npos || colon == 0 ||
        colon + 1 >= text.size())
        return false;
    const int h = ToNumber(text.substr(0, colon));
    const int m = ToNumber(text.substr(colon + 1));
    if (h < 0 || h > 23 || m < 0 || m > 59)
        return false;
    hour = h;
    minute = m;
    return true;
}

std::string FormatTime(int hour, int minute) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return {};
    const char text[] = {static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10),
                         ':', static_cast<char>('0' + minute / 10),
                         static_cast<char>('0' + minute % 10)};
    return std::string(text, sizeof text);
}

int GetIntervalMinutes(std::string_view text) {
    const std::string t = TrimCellText(text);
    if (t.size() < 3 || t.compare(t.size() - 3, 3, "Min") != 0)
        return -1;
    return ToNumber(TrimCellText(std::string_view(t).substr(0, t.size() - 3)));
}

TCellKind GetCellKind(const TStringGrid &grid, int col, int row) {
    if (col <= 0 || row <= 0)
        return TCellKind::Other;
    return CellTextKind(grid.Cell(col, row));
}

TCellKind CellTextKind(std::string_view text) {
    const std::string t = TrimCellText(text);
    if (t.empty())
        return TCellKind::Empty;
    if (t.size() >= 5 && t.compare(t.size() - 3, 3, "Min") == 0 && t[t.size() - 4] == ' ' &&
        ToNumber(std::string_view(t).substr(0, t.size() - 4)) >= 0)
        return TCellKind::Interval;
    int h = 0, m = 0;
    if (t.size() >= 3 && ParseTime(t, h, m))
        return TCellKind::Time;
    return TCellKind::Other;
}

TCellKind GetKindLeft(const TStringGrid &grid, int col, int row, int *foundCol) {
    for (int c = col - 1; c >= 1; --c) {
        const TCellKind kind = GetCellKind(grid, c, row);
        if (kind != TCellKind::Empty) {
            if (foundCol)
                *foundCol = c;
            return kind;
        }
    }
    if (foundCol)
        *foundCol = 0;
    return TCellKind::Empty;
}

bool FindTimeAbove(const TStringGrid &grid, int col, int row, int &hour, int &minute) {
    for (int r = row - 1; r >= kFirstStationRow; --r)
        if (TimeAt(grid, col, r, hour, minute))
            return true;
    return false;
}

bool FindTimeBefore(const TStringGrid &grid, int col, int row, int &hour, int &minute) {
    for (int c = col - 1; c >= kFirstJourneyCol; --c)
        for (int r = row; r >= kFirstStationRow; --r)
            if (TimeAt(grid, c, r, hour, minute))
                return true;
    return false;
}

bool FindTimeLeft(const TStringGrid &grid, int col, int row, int &hour, int &minute) {
    for (int c = col - 1; c >= kFirstJourneyCol; --c)
        if (TimeAt(grid, c, row, hour, minute))
            return true;
    return false;
}

std::string IntervalEntryRefusal(const TStringGrid &grid, int col, int row, int minutes) {
    // An interval of 0 minutes would make every later time a division by zero.
    if (minutes < 1 || minutes >= kMinutesPerDay)
        return "Takt muss 1 bis 1439 Minuten sein";
    const TCellKind left = GetKindLeft(grid, col, row);
    if (col < kFirstJourneyCol || (left != TCellKind::Time && left != TCellKind::Empty))
        return "Takt nur rechts neben einer Zeit";
    return {};
}

bool CheckIntervalEntry(const TStringGrid &grid, int col, int row, int minutes) {
    return IntervalEntryRefusal(grid, col, row, minutes).empty();
}

std::string TimeEntryRefusal(const TStringGrid &grid, int col, int row, int hour, int minute,
                             int maxDriveMinutes) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return "Keine g\xFCltige Uhrzeit";
    const int t = hour * 60 + minute;
    if (col >= kFirstJourneyCol && GetCellKind(grid, col - 1, row) == TCellKind::Interval) {
        int ph = 0, pm = 0;
        if (col - 1 < kFirstJourneyCol || !FindTimeLeft(grid, col - 1, row, ph, pm))
            return "Keine Zeit links f\xFCr den Takt";
        const int p = ph * 60 + pm;
        const int n = GetIntervalMinutes(grid.Cell(col - 1, row));
        if (t <= p)
            return "Zeit liegt nicht nach der Zeit vor dem Takt (" + FormatTime(ph, pm) + ")";
        if (n <= 0 || (t - p) % n != 0)
            return "Zeit passt nicht in den Takt von " + Counted(n, "Minute", "Minuten") + " ab " +
                   FormatTime(ph, pm);
    }
    int qh = 0, qm = 0;
    if (FindTimeAbove(grid, col, row, qh, qm)) {
        const int d = t - (qh * 60 + qm);
        if (d < 0 && d + kMinutesPerDay > maxDriveMinutes)
            return "Zeit liegt vor der Zeit dar\xFC"
                   "ber (" +
                   FormatTime(qh, qm) + ")";
        if (d > maxDriveMinutes)
            return DriveLimitText(maxDriveMinutes);
    }
    if (FindTimeBelow(grid, col, row, qh, qm)) {
        const int d = (qh * 60 + qm) - t;
        if (d < 0 && d + kMinutesPerDay > maxDriveMinutes)
            return "Zeit liegt nach der Zeit darunter (" + FormatTime(qh, qm) + ")";
        if (d > maxDriveMinutes)
            return DriveLimitText(maxDriveMinutes);
    }
    return {};
}

bool CheckTimeEntry(const TStringGrid &grid, int col, int row, int hour, int minute,
                    int maxDriveMinutes) {
    return TimeEntryRefusal(grid, col, row, hour, minute, maxDriveMinutes).empty();
}

void FillInterval(TStringGrid &grid, int col, int row, int minutes) {
    const std::string text = std::to_string(minutes) + " Min";
    for (int r = row; r < grid.RowCount(); ++r)
        grid.SetCell(col, r, GetKindLeft(grid, col, r) == TCellKind::Time ? text : std::string());
}

namespace {

std::string CopyJourneyRefusal(const TStringGrid &grid, int col, int row, int src,
                               std::vector<std::string> &texts) {
    const std::string source = JourneyText(src - 1);
    if (row < kFirstStationRow || col < kFirstJourneyCol || src < kFirstJourneyCol)
        return source + " gibt es nicht";
    if (src == col)
        return "Eine Fahrt kann sich nicht selbst \xFC"
               "bernehmen";
    bool offsetFound = false;
    bool timeAbove = false;
    bool intervalAbove = false;
    int offset = 0;
    for (int r = row - 1; r >= kFirstStationRow && !offsetFound; --r) {
        const TCellKind kind = GetCellKind(grid, src, r);
        if (kind == TCellKind::Time) {
            timeAbove = true;
            int sh = 0, sm = 0, ch = 0, cm = 0;
            if (TimeAt(grid, col, r, ch, cm) && TimeAt(grid, src, r, sh, sm)) {
                offset = (ch * 60 + cm) - (sh * 60 + sm);
                if (offset < 0)
                    return source + " f\xE4hrt sp\xE4ter als diese";
                offsetFound = true;
            }
        } else if (kind == TCellKind::Interval) {
            intervalAbove = true;
        }
    }
    std::vector<std::string> result;
    for (int r = row; r < grid.RowCount(); ++r) {
        switch (GetCellKind(grid, src, r)) {
        case TCellKind::Other:
            return source + " hat hier eine Zelle ohne Zeit und Takt";
        case TCellKind::Time: {
            if (intervalAbove)
                return source + " hat einen Takt dar\xFC"
                                "ber";
            if (!offsetFound)
                return "Keine Zeit dar\xFC"
                       "ber in beiden Fahrten f\xFC"
                       "r den Abstand zu " +
                       source;
            int h = 0, m = 0;
            TimeAt(grid, src, r, h, m);
            int minute = m + offset;
            const int hour = (h + minute / 60) % 24;
            minute %= 60;
            result.push_back(FormatTime(hour, minute));
            break;
        }
        case TCellKind::Interval:
            if (timeAbove)
                return source + " hat einen Takt nach einer Zeit";
            result.push_back(grid.Cell(src, r));
            break;
        case TCellKind::Empty:
            result.emplace_back();
            break;
        }
    }
    texts.insert(texts.end(), result.begin(), result.end());
    return {};
}

} // namespace

bool CopyJourney(const TStringGrid &grid, int col, int row, int src,
                 std::vector<std::string> &texts) {
    return CopyJourneyRefusal(grid, col, row, src, texts).empty();
}

namespace {

struct Outcome {
    bool accepted = true;
    std::string text;
    std::string reason;
};

Outcome Refused(std::string reason) {
    return {false, {}, std::move(reason)};
}

Outcome CheckIntervalForm(TStringGrid &grid, int col, int row, std::string_view typed,
                          TTimetableEditState &state, IQuestioner &questioner) {
    const std::string t = FoldCase(typed);
    const int n = t.front() == 'a'
                      ? ToNumber(WithoutBlanks(std::string_view(t).substr(1)))
                      : ToNumber(WithoutBlanks(std::string_view(t).substr(0, t.size() - 3)));
    if (std::string why = IntervalEntryRefusal(grid, col, row, n); !why.empty())
        return Refused(std::move(why));
    const std::string text = std::to_string(n) + " Min";
    const int lastRow = grid.RowCount() - 1;
    const int lastCol = grid.ColCount() - 1;
    // Only an interval just entered or changed offers the fill; passing an
    // interval cell asks nothing.
    if (row != lastRow && state.SavedTextTaken && questioner.AskYesNo(kFillAllQuestion)) {
        FillInterval(grid, col, row, n);
        if (state.EnterPressed && col != lastCol) {
            state.SkipNextCheck = true;
            return Refused("Takt f\xFC"
                           "r alle weiteren Stationen eingetragen");
        }
    }
    return {true, text, {}};
}

Outcome TimeOutcome(const TStringGrid &grid, int col, int row, int hour, int minute,
                    int maxDriveMinutes) {
    if (std::string why = TimeEntryRefusal(grid, col, row, hour, minute, maxDriveMinutes);
        !why.empty())
        return Refused(std::move(why));
    return {true, FormatTime(hour, minute), {}};
}

Outcome CheckTimeForm(const TStringGrid &grid, int col, int row, std::string t,
                      int maxDriveMinutes) {
    if (t.size() <= 2) {
        const int d = ToNumber(t);
        int h = 0, m = 0;
        bool fromAbove = false;
        if (d < 0 || d > 59)
            return Refused("Minuten m\xFCssen 0 bis 59 sein");
        if (!FindBaseTime(grid, col, row, h, m, fromAbove))
            return Refused("Keine Zeit davor f\xFC"
                           "r die Minuten");
        if (d < m || (d == m && !fromAbove))
            h = (h + 1) % 24;
        return TimeOutcome(grid, col, row, h, d, maxDriveMinutes);
    }
    std::size_t sep = t.find(':');
    if (sep == std::string::npos)
        sep = t.find('.');
    if (sep != std::string::npos) {
        if (sep == 0 || sep > 2 || sep + 1 == t.size())
            return Refused("Keine g\xFCltige Uhrzeit");
        t = sep == 1 ? "0" + t.substr(0, 1) + t.substr(2) : t.substr(0, 2) + t.substr(3);
        if (t.size() == 3)
            t += '0';
    }
    for (char c : t)
        if (!IsDigit(c))
            return Refused("Keine g\xFCltige Uhrzeit");
    const int v = ToNumber(t);
    if (v < 0)
        return Refused("Keine g\xFCltige Uhrzeit");
    return TimeOutcome(grid, col, row, v / 100, v % 100, maxDriveMinutes);
}

Outcome CheckOffsetForm(const TStringGrid &grid, int col, int row, const std::string &t,
                        int maxDriveMinutes) {
    const int n = ToNumber(WithoutBlanks(std::string_view(t).substr(1)));
    int h = 0, m = 0;
    bool fromAbove = false;
    if (n < 0 || n >= kMinutesPerDay)
        return Refused("Versatz muss 0 bis 1439 Minuten sein");
    if (!FindBaseTime(grid, col, row, h, m, fromAbove))
        return Refused("Keine Zeit davor f\xFC"
                       "r den Versatz");
    int minute = m + n;
    const int hour = (h + minute / 60) % 24;
    minute %= 60;
    return TimeOutcome(grid, col, row, hour, minute, maxDriveMinutes);
}

Outcome CheckCopyForm(TStringGrid &grid, int col, int row, const std::string &t,
                      TTimetableEditState &state) {
    if (t.size() == 1) {
        if (row == kFirstStationRow)
            return Refused("Keine Zelle dar\xFC"
                           "ber");
        if (GetCellKind(grid, col, row - 1) == TCellKind::Other)
            return Refused("Zelle dar\xFC"
                           "ber ist keine Zeit und kein Takt");
        return {true, grid.Cell(col, row - 1), {}};
    }
    const std::string number = WithoutBlanks(std::string_view(t).substr(1));
    if (std::string why = NotANumberText(number); !why.empty())
        return Refused(std::move(why));
    const int journey = ToNumber(number);
    // Journey j lives in column j + 1; numbers beyond the grid name no journey.
    if (journey < 1 || journey >= grid.ColCount() - 1)
        return Refused(JourneyText(journey) + " gibt es nicht");
    std::vector<std::string> texts;
    if (std::string why = CopyJourneyRefusal(grid, col, row, journey + 1, texts); !why.empty())
        return Refused(std::move(why));
    for (std::size_t i = 0; i < texts.size(); ++i)
        grid.SetCell(col, row + static_cast<int>(i), texts[i]);
    state.SkipNextCheck = true;
    return Refused(JourneyText(journey) + " \xFC"
                                          "bernommen");
}

} // namespace

TCheckResult CheckCell(TStringGrid &grid, int col, int row, TTimetableEditState &state,
                       IQuestioner &questioner, int maxDriveMinutes) {
    const std::string t = TrimCellText(grid.Cell(col, row));
    Outcome outcome{true, t, {}};
    if (state.SkipNextCheck) {
        state.SkipNextCheck = false;
    } else if (t.empty()) {
        outcome.text.clear();
    } else if (t.front() == 'a' || t.front() == 'A' ||
               (t.size() >= 4 && SameTextCi(std::string_view(t).substr(t.size() - 3), "min"))) {
        outcome = CheckIntervalForm(grid, col, row, t, state, questioner);
    } else if (t.front() == '+') {
        outcome = CheckOffsetForm(grid, col, row, t, maxDriveMinutes);
    } else if (IsDigit(t.front())) {
        outcome = CheckTimeForm(grid, col, row, t, maxDriveMinutes);
    } else if (t.front() == '=' || t.front() == 's' || t.front() == 'S') {
        outcome = CheckCopyForm(grid, col, row, t, state);
    } else {
        outcome = Refused("Unbekannte Eingabe");
    }

    if (outcome.accepted)
        grid.SetCell(col, row, outcome.text);
    else if (!state.SkipNextCheck && state.SavedTextTaken) {
        // Back to its text from before the entry, the cell holds no entry of
        // its own any more: passing it again asks and restores nothing.
        grid.SetCell(col, row, state.SavedText);
        state.SavedTextTaken = false;
    }
    return {outcome.accepted, std::move(outcome.reason)};
}

} // namespace takton
