#pragma once

// The list text rules of the master-data files: a list is a sequence of texts,
// stored as the lines of a file; an entry is "name=value"; lists inside a value
// use the joined form (comma-separated, quoted where needed).

#include <string>
#include <string_view>
#include <vector>

namespace takton {

using TStringList = std::vector<std::string>;

// Cuts text into lines at CR LF, a lone CR and a lone LF. A last line without
// a line end counts; a final line end adds no empty line.
TStringList SplitTextLines(std::string_view text);
// Every item followed by CR LF, the last one too.
std::string JoinTextLines(const TStringList &list);

// A missing file gives an empty list.
TStringList LoadTextList(const std::string &path);
// Creates or replaces the file whole (crash-safe).
void SaveTextList(const std::string &path, const TStringList &list);

// Name and value of an entry "name=value"; an entry without "=" has no name.
bool HasEntryName(std::string_view entry);
std::string EntryName(std::string_view entry);
std::string EntryValue(std::string_view entry);

// First match in list order without regard to case, or -1.
int IndexOfItem(const TStringList &list, std::string_view item);
int IndexOfName(const TStringList &list, std::string_view name);

// The joined form: items separated by ",", an item quoted when it holds a
// character 1-32, '"' or ','; one empty item alone gives "".
std::string JoinList(const TStringList &list);
// Reads the joined form back; an unquoted blank ends an item.
TStringList SplitList(std::string_view text);

} // namespace takton
