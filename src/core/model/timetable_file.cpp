#include "core/model/timetable_file.h"

#include "core/files/file_io.h"

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
    ini_.ReplaceWithNumberedSection(section, rows);
}

} // namespace takton
