#include "model/timetable_check.h"

#include "model/timetable_grid.h"
#include "util/cp1252.h"
#include "util/error.h"

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
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    const int value = ToNumber(text);
    // -1 is also a real value: tell it apart by the text itself.
    if (value == -1 && rest != "-1")
        throw TaktonError("'" + std::string(text) + Cp1252("' ist kein gültiger Integerwert"));
    return value;
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
    const std::string t = TrimCellText(grid.Cell(col, row));
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

bool CheckIntervalEntry(const TStringGrid &grid, int col, int row, int minutes) {
    // An interval of 0 minutes would make every later time a division by zero.
    if (minutes < 1 || minutes >= kMinutesPerDay || col < kFirstJourneyCol)
        return false;
    const TCellKind left = GetKindLeft(grid, col, row);
    return left == TCellKind::Time || left == TCellKind::Empty;
}

bool CheckTimeEntry(const TStringGrid &grid, int col, int row, int hour, int minute,
                    int maxDriveMinutes) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return false;
    const int t = hour * 60 + minute;
    if (col >= kFirstJourneyCol && GetCellKind(grid, col - 1, row) == TCellKind::Interval) {
        if (col - 1 < kFirstJourneyCol)
            return false;
        int ph = 0, pm = 0;
        if (!FindTimeLeft(grid, col - 1, row, ph, pm))
            return false;
        const int p = ph * 60 + pm;
        const int n = GetIntervalMinutes(grid.Cell(col - 1, row));
        if (n <= 0 || t <= p || (t - p) % n != 0)
            return false;
    }
    int qh = 0, qm = 0;
    if (FindTimeAbove(grid, col, row, qh, qm)) {
        int d = t - (qh * 60 + qm);
        if (d < 0)
            d += kMinutesPerDay;
        if (d > maxDriveMinutes)
            return false;
    }
    return true;
}

void FillInterval(TStringGrid &grid, int col, int row, int minutes) {
    const std::string text = std::to_string(minutes) + " Min";
    for (int r = row; r < grid.RowCount(); ++r)
        grid.SetCell(col, r, GetKindLeft(grid, col, r) == TCellKind::Time ? text : std::string());
}

bool CopyJourney(const TStringGrid &grid, int col, int row, int src,
                 std::vector<std::string> &texts) {
    if (row < kFirstStationRow || col < kFirstJourneyCol || src < kFirstJourneyCol || src == col)
        return false;
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
                    return false;
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
            return false;
        case TCellKind::Time: {
            if (!offsetFound || intervalAbove)
                return false;
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
                return false;
            result.push_back(grid.Cell(src, r));
            break;
        case TCellKind::Empty:
            result.emplace_back();
            break;
        }
    }
    texts.insert(texts.end(), result.begin(), result.end());
    return true;
}

namespace {

struct Outcome {
    bool accepted = true;
    std::string text;
};

Outcome Refused() {
    return {false, {}};
}

Outcome CheckIntervalForm(TStringGrid &grid, int col, int row, std::string_view typed,
                          TTimetableEditState &state, IQuestioner &questioner) {
    const std::string t = FoldCase(typed);
    const int n = t.front() == 'a'
                      ? ToNumber(WithoutBlanks(std::string_view(t).substr(1)))
                      : ToNumber(WithoutBlanks(std::string_view(t).substr(0, t.size() - 3)));
    if (!CheckIntervalEntry(grid, col, row, n))
        return Refused();
    const std::string text = std::to_string(n) + " Min";
    const int lastRow = grid.RowCount() - 1;
    const int lastCol = grid.ColCount() - 1;
    if (row != lastRow && questioner.AskYesNo(kFillAllQuestion)) {
        FillInterval(grid, col, row, n);
        if (state.EnterPressed && col != lastCol) {
            state.SkipNextCheck = true;
            return Refused();
        }
    }
    return {true, text};
}

Outcome CheckTimeForm(const TStringGrid &grid, int col, int row, std::string t,
                      int maxDriveMinutes) {
    if (t.size() <= 2) {
        const int d = ToNumber(t);
        int h = 0, m = 0;
        bool fromAbove = false;
        if (d < 0 || d > 59 || !FindBaseTime(grid, col, row, h, m, fromAbove))
            return Refused();
        if (d < m || (d == m && !fromAbove))
            h = (h + 1) % 24;
        if (!CheckTimeEntry(grid, col, row, h, d, maxDriveMinutes))
            return Refused();
        return {true, FormatTime(h, d)};
    }
    std::size_t sep = t.find(':');
    if (sep == std::string::npos)
        sep = t.find('.');
    if (sep != std::string::npos) {
        if (sep == 0 || sep > 2 || sep + 1 == t.size())
            return Refused();
        t = sep == 1 ? "0" + t.substr(0, 1) + t.substr(2) : t.substr(0, 2) + t.substr(3);
        if (t.size() == 3)
            t += '0';
    }
    for (char c : t)
        if (!IsDigit(c))
            return Refused();
    const int v = ToNumber(t);
    if (v < 0 || !CheckTimeEntry(grid, col, row, v / 100, v % 100, maxDriveMinutes))
        return Refused();
    return {true, FormatTime(v / 100, v % 100)};
}

Outcome CheckOffsetForm(const TStringGrid &grid, int col, int row, const std::string &t,
                        int maxDriveMinutes) {
    const int n = ToNumber(WithoutBlanks(std::string_view(t).substr(1)));
    int h = 0, m = 0;
    bool fromAbove = false;
    if (n < 0 || n >= kMinutesPerDay || !FindBaseTime(grid, col, row, h, m, fromAbove))
        return Refused();
    int minute = m + n;
    const int hour = (h + minute / 60) % 24;
    minute %= 60;
    if (!CheckTimeEntry(grid, col, row, hour, minute, maxDriveMinutes))
        return Refused();
    return {true, FormatTime(hour, minute)};
}

Outcome CheckCopyForm(TStringGrid &grid, int col, int row, const std::string &t,
                      TTimetableEditState &state) {
    if (t.size() == 1) {
        if (row == kFirstStationRow || GetCellKind(grid, col, row - 1) == TCellKind::Other)
            return Refused();
        return {true, grid.Cell(col, row - 1)};
    }
    const int journey = StrictToNumber(WithoutBlanks(std::string_view(t).substr(1)));
    // Journey j lives in column j + 1; numbers beyond the grid name no journey.
    std::vector<std::string> texts;
    if (journey < 1 || journey >= grid.ColCount() - 1 ||
        !CopyJourney(grid, col, row, journey + 1, texts))
        return Refused();
    for (std::size_t i = 0; i < texts.size(); ++i)
        grid.SetCell(col, row + static_cast<int>(i), texts[i]);
    state.SkipNextCheck = true;
    return Refused();
}

} // namespace

bool CheckCell(TStringGrid &grid, int col, int row, TTimetableEditState &state,
               IQuestioner &questioner, int maxDriveMinutes) {
    const std::string t = TrimCellText(grid.Cell(col, row));
    Outcome outcome{true, t};
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
        outcome = Refused();
    }

    if (outcome.accepted)
        grid.SetCell(col, row, outcome.text);
    else if (!state.SkipNextCheck && state.SavedTextTaken)
        grid.SetCell(col, row, state.SavedText);
    return outcome.accepted;
}

} // namespace takton
