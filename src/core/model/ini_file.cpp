#include "core/model/ini_file.h"

#include "core/files/file_io.h"
#include "core/model/list_text.h"
#include "core/util/cp1252.h"
#include "core/util/trim.h"

#include <charconv>
#include <climits>
#include <unordered_set>

namespace takton {

std::string IniValueOf(std::string_view raw) {
    std::string_view v = TrimBlanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

long ParseIniInteger(std::string_view text, long defaultValue) {
    std::string_view s = TrimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return defaultValue;
    unsigned long magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return defaultValue;
    // The value must fit a signed 32-bit integer, as the files were written with one.
    if (negative ? magnitude > 2147483648UL : magnitude > 2147483647UL)
        return defaultValue;
    return negative ? -static_cast<long>(magnitude) : static_cast<long>(magnitude);
}

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
    const auto content = ReadWholeFile(path_);
    existed_ = content.has_value();
    if (content)
        Parse(*content);
}

TIniFile TIniFile::FromText(std::string_view text) {
    TIniFile ini;
    ini.Parse(text);
    return ini;
}

void TIniFile::Parse(std::string_view text) {
    for (auto &raw : SplitTextLines(text)) {
        Line line;
        line.text = std::move(raw);
        const std::string_view trimmed = TrimBlanks(line.text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const auto close = trimmed.find(']');
            line.isSection = true;
            line.name = std::string(TrimBlanks(trimmed.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
        } else if (!trimmed.empty() && trimmed.front() != ';') {
            const auto eq = line.text.find('=');
            if (eq != std::string::npos) {
                line.isKey = true;
                line.name = std::string(TrimBlanks(std::string_view(line.text).substr(0, eq)));
            }
        }
        lines_.push_back(std::move(line));
    }
}

TIniFile::Span TIniFile::FindSection(std::string_view section) const {
    const std::string_view wanted = TrimBlanks(section);
    Span span;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!lines_[i].isSection)
            continue;
        if (span.begin != npos) {
            span.end = i;
            return span;
        }
        if (SameTextCi(lines_[i].name, wanted))
            span.begin = i;
    }
    if (span.begin != npos)
        span.end = lines_.size();
    return span;
}

std::size_t TIniFile::FindKey(const Span &span, std::string_view key) const {
    if (span.begin == npos)
        return npos;
    const std::string_view wanted = TrimBlanks(key);
    for (std::size_t i = span.begin + 1; i < span.end; ++i)
        if (lines_[i].isKey && SameTextCi(lines_[i].name, wanted))
            return i;
    return npos;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const std::size_t i = FindKey(FindSection(section), key);
    if (i == npos)
        return std::string(defaultValue);
    const std::string &text = lines_[i].text;
    return IniValueOf(std::string_view(text).substr(text.find('=') + 1));
}

long TIniFile::ReadInteger(std::string_view section, std::string_view key,
                           long defaultValue) const {
    // A missing key reads as empty text, which gives the default too.
    return ParseIniInteger(ReadString(section, key, ""), defaultValue);
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindKey(FindSection(section), key) != npos;
}

TIniFile::Line TIniFile::HeaderLine(std::string_view section) {
    Line header;
    header.isSection = true;
    header.name = std::string(TrimBlanks(section));
    header.text = "[" + header.name + "]";
    return header;
}

TIniFile::Line TIniFile::KeyLine(std::string_view key, std::string_view value) {
    Line line;
    line.isKey = true;
    line.name = std::string(TrimBlanks(key));
    line.text = line.name + "=" + std::string(value);
    return line;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Line line = KeyLine(key, value);
    const Span span = FindSection(section);
    if (span.begin == npos) {
        lines_.push_back(HeaderLine(section));
        lines_.push_back(std::move(line));
        return;
    }
    const std::size_t i = FindKey(span, key);
    if (i != npos) {
        lines_[i] = std::move(line);
        return;
    }
    // A new key goes after the section's last non-blank line.
    std::size_t at = span.end;
    while (at > span.begin + 1 && TrimBlanks(lines_[at - 1].text).empty())
        --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, long value) {
    WriteString(section, key, std::to_string(value));
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const Line &line : lines_)
        if (line.isSection && seen.insert(FoldCase(line.name)).second)
            names.push_back(line.name);
    return names;
}

std::vector<std::string> TIniFile::ReadSectionKeys(std::string_view section) const {
    std::vector<std::string> keys;
    for (auto &entry : ReadSectionValues(section))
        keys.push_back(std::move(entry.first));
    return keys;
}

std::vector<std::pair<std::string, std::string>>
TIniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> values;
    const Span span = FindSection(section);
    if (span.begin == npos)
        return values;
    std::unordered_set<std::string> seen;
    for (std::size_t i = span.begin + 1; i < span.end; ++i) {
        const Line &line = lines_[i];
        if (!line.isKey || !seen.insert(FoldCase(line.name)).second)
            continue;
        values.emplace_back(
            line.name, IniValueOf(std::string_view(line.text).substr(line.text.find('=') + 1)));
    }
    return values;
}

bool TIniFile::SectionHasKeys(std::string_view section) const {
    const Span span = FindSection(section);
    if (span.begin == npos)
        return false;
    for (std::size_t i = span.begin + 1; i < span.end; ++i)
        if (lines_[i].isKey)
            return true;
    return false;
}

void TIniFile::EraseSection(std::string_view section) {
    const Span span = FindSection(section);
    if (span.begin == npos)
        return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span.begin),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span.end));
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    const Span span = FindSection(section);
    if (span.begin == npos)
        return;
    const std::size_t i = FindKey(span, key);
    if (i != npos)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
}

void TIniFile::ReplaceWithNumberedSection(std::string_view section,
                                          const std::vector<std::string> &values) {
    EraseSection(section);
    if (FindSection(section).begin != npos) {
        // A second header of the same name: its keys are written over one by
        // one, as single writes would.
        for (std::size_t i = 0; i < values.size(); ++i)
            WriteString(section, std::to_string(i + 1), values[i]);
        return;
    }
    if (values.empty())
        return;
    lines_.reserve(lines_.size() + values.size() + 1);
    lines_.push_back(HeaderLine(section));
    for (std::size_t i = 0; i < values.size(); ++i)
        lines_.push_back(KeyLine(std::to_string(i + 1), values[i]));
}

std::string TIniFile::Text() const {
    std::size_t size = 0;
    for (const Line &line : lines_)
        size += line.text.size() + 2;
    std::string text;
    text.reserve(size);
    for (const Line &line : lines_) {
        text += line.text;
        text += "\r\n";
    }
    return text;
}

void TIniFile::UpdateFile() const {
    if (!path_.empty())
        WriteWholeFile(path_, Text());
}

} // namespace takton
