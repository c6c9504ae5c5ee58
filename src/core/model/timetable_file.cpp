#include "core/model/timetable_file.h"

#include "core/files/file_io.h"
#include "core/util/cp1252.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace takton {
namespace {

// The row number of a key, or 0 when the key is not a row number.
long RowNumberOf(std::string_view key) {
    long number = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (ec != std::errc() || end != key.data() + key.size() || number < 1)
        return 0;
    return number;
}

bool IsJourneyMarkKey(std::string_view key) {
    return SameTextCi(key, kFootnotesKey) || SameTextCi(key, kNightsKey);
}

} // namespace

std::string TimetableFileName(std::string_view line) {
    return "line_" + std::string(line) + ".ttd";
}

std::string TimetablePath(const std::string &dir, std::string_view line) {
    return ProjectPath(dir, TimetableFileName(line));
}

std::string TimetableSectionName(int direction, std::string_view dayGroup) {
    return std::to_string(direction) + "_" + std::string(dayGroup);
}

bool IsReverseSection(std::string_view section) {
    return !section.empty() && section[0] == '2';
}

std::string_view RowStation(std::string_view row) {
    return row.substr(0, row.find(','));
}

bool RowNamesStation(std::string_view row, std::string_view station) {
    return RowStation(row) == station;
}

TTimetableFile::TTimetableFile(std::string path) : ini_(std::move(path)) {}

std::vector<std::string> TTimetableFile::Sections() const {
    std::vector<std::string> sections = ini_.ReadSections();
    std::erase_if(sections, [this](const std::string &s) { return !ini_.SectionHasKeys(s); });
    return sections;
}

bool TTimetableFile::HasSection(std::string_view section) const {
    return ini_.SectionHasKeys(section);
}

TTimetableRows TTimetableFile::ReadRows(std::string_view section) const {
    std::vector<std::pair<long, std::string>> numbered;
    for (auto &[key, value] : ini_.ReadSectionValues(section))
        if (const long number = RowNumberOf(key))
            numbered.emplace_back(number, std::move(value));
    // Files written by the program are in key order already; a hand-edited one
    // is read in the order of its row numbers.
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    TTimetableRows rows;
    rows.reserve(numbered.size());
    for (auto &entry : numbered)
        rows.push_back(std::move(entry.second));
    return rows;
}

void TTimetableFile::WriteRows(std::string_view section, const TTimetableRows &rows) {
    std::vector<std::pair<std::string, std::string>> kept;
    for (auto &entry : ini_.ReadSectionValues(section))
        if (IsJourneyMarkKey(entry.first))
            kept.push_back(std::move(entry));
    ini_.ReplaceWithNumberedSection(section, rows);
    if (rows.empty())
        return;
    for (const auto &[key, value] : kept)
        ini_.WriteString(section, key, value);
}

TJourneyMarkList TTimetableFile::ReadJourneyMarks(std::string_view section) const {
    TJourneyMarkList marks;
    std::string_view symbols;
    const std::string footnotes = ini_.ReadString(section, kFootnotesKey, "");
    symbols = footnotes;
    for (std::size_t j = 0; !symbols.empty(); ++j) {
        const std::size_t comma = symbols.find(',');
        const std::string_view symbol = symbols.substr(0, comma);
        if (!symbol.empty()) {
            marks.resize(std::max(marks.size(), j + 1));
            marks[j].Footnote = std::string(symbol);
        }
        if (comma == std::string_view::npos)
            break;
        symbols.remove_prefix(comma + 1);
    }
    const std::string nights = ini_.ReadString(section, kNightsKey, "");
    std::string_view numbers = nights;
    while (!numbers.empty()) {
        const std::size_t comma = numbers.find(',');
        const long journey = RowNumberOf(numbers.substr(0, comma));
        if (journey > 0 && journey <= 100000) {
            const auto j = static_cast<std::size_t>(journey - 1);
            marks.resize(std::max(marks.size(), j + 1));
            marks[j].PreviousDayNight = true;
        }
        if (comma == std::string_view::npos)
            break;
        numbers.remove_prefix(comma + 1);
    }
    return marks;
}

void TTimetableFile::WriteJourneyMarks(std::string_view section, const TJourneyMarkList &marks) {
    std::string footnotes, nights;
    std::size_t lastFootnote = 0;
    for (std::size_t j = 0; j < marks.size(); ++j) {
        if (!marks[j].Footnote.empty())
            lastFootnote = j + 1;
        if (marks[j].PreviousDayNight)
            nights += (nights.empty() ? "" : ",") + std::to_string(j + 1);
    }
    for (std::size_t j = 0; j < lastFootnote; ++j) {
        if (j > 0)
            footnotes += ',';
        footnotes += marks[j].Footnote;
    }
    if (footnotes.empty())
        ini_.DeleteKey(section, kFootnotesKey);
    else
        ini_.WriteString(section, kFootnotesKey, footnotes);
    if (nights.empty())
        ini_.DeleteKey(section, kNightsKey);
    else
        ini_.WriteString(section, kNightsKey, nights);
}

} // namespace takton
