#pragma once

// Code page 1252 is the encoding of every project file and of all text in the
// core. The front ends convert at their boundary with these functions.

#include <optional>
#include <string>
#include <string_view>

namespace takton {

std::string Cp1252ToUtf8(std::string_view text);
std::u16string Cp1252ToUtf16(std::string_view text);

// Empty optional when the text holds a character that cp1252 cannot hold
// (or, for UTF-8, when it is not valid UTF-8).
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
std::optional<std::string> Utf16ToCp1252(std::u16string_view utf16);

// Characters that cp1252 cannot hold become '?'.
std::string Utf8ToCp1252Lossy(std::string_view utf8);
std::string Utf16ToCp1252Lossy(std::u16string_view utf16);

// A text of the program's own, written in UTF-8 in the source, as cp1252.
inline std::string Cp1252(std::string_view utf8) {
    return Utf8ToCp1252Lossy(utf8);
}

// Case folding over the whole code page: ASCII letters, the accented letters
// of 0xC0-0xFE and the pairs of 0x8A-0x9F (Š/š, Œ/œ, Ž/ž, Ÿ/ÿ).
char FoldCase(char c);
// The text with every letter folded to lower case, for comparing and hashing
// names without regard to case.
std::string FoldCase(std::string_view text);
char UpperCase(char c);
std::string UpperCase(std::string_view text);

// Equal without regard to letter case.
bool SameTextCi(std::string_view a, std::string_view b);

} // namespace takton
