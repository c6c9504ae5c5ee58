#pragma once

// INI files as the project and timetable files use them. The file is read once
// into memory, every read and write works there, and UpdateFile writes it back
// once, crash-safe. Lines the reader does not understand (comments, lines
// without "=", lines before the first section) are kept as they stand.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace takton {

class TIniFile {
  public:
    // Loads the file at a native path; a missing file is an empty one.
    explicit TIniFile(std::string path);

    // An INI text without a file behind it (UpdateFile then does nothing).
    static TIniFile FromText(std::string_view text);

    const std::string &Path() const { return path_; }
    bool FileExisted() const { return existed_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    long ReadInteger(std::string_view section, std::string_view key, long defaultValue) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, long value);

    // Section names in file order, each once.
    std::vector<std::string> ReadSections() const;
    // Key names of a section in file order, each once.
    std::vector<std::string> ReadSectionKeys(std::string_view section) const;
    // Key names with their values, as ReadString gives them, each key once.
    std::vector<std::pair<std::string, std::string>>
    ReadSectionValues(std::string_view section) const;
    bool SectionHasKeys(std::string_view section) const;
    void EraseSection(std::string_view section);
    // Removes the key's line; nothing when it is not there.
    void DeleteKey(std::string_view section, std::string_view key);
    // The section erased and written anew at the end of the file with the keys
    // "1", "2", ... holding the values; no values leave it erased. Gives the
    // same text as EraseSection followed by WriteString for each key.
    void ReplaceWithNumberedSection(std::string_view section,
                                    const std::vector<std::string> &values);

    // Writes the whole text to the file (crash-safe); a no-op without a file.
    void UpdateFile() const;
    std::string Text() const;

  private:
    TIniFile() = default;
    void Parse(std::string_view text);

    struct Line {
        std::string text;
        // Filled for a section header or a key line.
        std::string name;
        bool isSection = false;
        bool isKey = false;
    };
    // First section header with this name: [begin, end) spans the header and
    // its lines. Empty optional-like result when missing: begin == npos.
    struct Span {
        std::size_t begin = npos;
        std::size_t end = npos;
    };
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    static Line HeaderLine(std::string_view section);
    static Line KeyLine(std::string_view key, std::string_view value);
    Span FindSection(std::string_view section) const;
    std::size_t FindKey(const Span &span, std::string_view key) const;

    std::string path_;
    bool existed_ = false;
    std::vector<Line> lines_;
};

// The integer rule of the project files: optional sign, then decimal digits or
// hexadecimal after "$", "0x" or "0X"; anything else gives the default.
long ParseIniInteger(std::string_view text, long defaultValue);

// A value without surrounding blanks and tabs and without one enclosing pair
// of the same quotation mark.
std::string IniValueOf(std::string_view raw);

} // namespace takton
