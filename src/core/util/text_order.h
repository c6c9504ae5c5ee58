#pragma once

// Alphabetical order without regard to letter case, in the user's locale.

#include <string>
#include <string_view>
#include <vector>

namespace takton {

// The locale whose collation orders lists, e.g. "de_DE". Taken from the
// environment at first use; German when the environment names none.
std::string UserLocaleName();

// Pins the locale (tests, and front ends that know better than the
// environment). Takes effect for every comparison after the call.
void SetUserLocale(const std::string &name);

// < 0, 0, > 0 like strcmp; texts in cp1252.
int CompareTextLocale(std::string_view a, std::string_view b);

// Stable sort of cp1252 texts by CompareTextLocale.
void SortTextList(std::vector<std::string> &list);

// Natural order for names that carry numbers, such as lines: "1", "2",
// "10", "N 5" (digits compare by their value), otherwise as CompareTextLocale.
int CompareTextNatural(std::string_view a, std::string_view b);
// Stable sort of cp1252 texts by CompareTextNatural.
void SortTextListNatural(std::vector<std::string> &list);

} // namespace takton
