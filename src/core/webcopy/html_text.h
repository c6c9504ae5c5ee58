#pragma once

// Texts taken from web pages: character references decoded, blanks trimmed,
// and whether a clipboard text is an HTML document at all. Text is cp1252.

#include <cstddef>
#include <string>
#include <string_view>

namespace takton {

// Decodes the one character reference that starts at text[at] (an "&"):
// "&amp;", "&ouml;", legacy names without ";" such as "&nbsp", "&#246;",
// "&#xF6;" (";" optional). Appends its cp1252 text to out (a character that
// cp1252 cannot hold gives "?") and returns how many bytes it took; returns 0
// and appends nothing when no reference starts there.
std::size_t DecodeHtmlReference(std::string_view text, std::size_t at, std::string &out);

// Every character reference decoded; an "&" that starts none stays.
std::string DecodeHtmlReferences(std::string_view text);

// A byte that counts as blank at either end of a cell: space, tab, line ends
// and the non-breaking space (0xA0).
bool IsCellBlank(char c);

// The text of a web table's cell as the planner means it: references decoded,
// blanks and non-breaking spaces at either end trimmed (a cell of nothing else
// becomes empty). Line breaks inside stay.
std::string WebCellText(std::string_view text);

// Whether a clipboard text is HTML rather than tab-separated cells: its first
// character after blanks (and a byte order mark) is "<" followed by a letter,
// "!", "/" or "?". A spreadsheet's cells never start that way.
bool IsHtmlText(std::string_view text);

} // namespace takton
