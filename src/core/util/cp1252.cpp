#include "core/util/cp1252.h"

#include <array>
#include <cstdint>

namespace takton {
namespace {

// Unicode code points of 0x80-0x9F. The five bytes cp1252 leaves undefined map
// to the C1 control with the same number, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ToUnicode(unsigned char c) {
    if (c >= 0x80 && c <= 0x9F)
        return kHigh[c - 0x80];
    return c;
}

std::optional<unsigned char> FromUnicode(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<unsigned char>(u);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void AppendUtf8(std::string &out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Empty on a malformed one
// (i then stands after its first byte).
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t &i) {
    const auto b0 = static_cast<unsigned char>(text[i++]);
    if (b0 < 0x80)
        return b0;
    int extra = 0;
    char32_t u = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        u = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        u = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        u = b0 & 0x07;
    } else {
        return std::nullopt;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size())
            return std::nullopt;
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        u = (u << 6) | (b & 0x3F);
        ++i;
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (u < kMin[extra] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF))
        return std::nullopt;
    return u;
}

// Decodes one UTF-16 code point; advances i. Lone surrogates are malformed.
std::optional<char32_t> DecodeUtf16(std::u16string_view text, std::size_t &i) {
    const char16_t w = text[i++];
    if (w < 0xD800 || w > 0xDFFF)
        return w;
    if (w <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
        return 0x10000 + ((char32_t(w) - 0xD800) << 10) + (char32_t(text[i++]) - 0xDC00);
    return std::nullopt;
}

// Encodes a Unicode text into cp1252. Lossy: '?' for what cp1252 cannot hold
// or for a malformed sequence; otherwise such a text gives nothing.
template <class Text, class Decoder>
std::optional<std::string> Encode(Text text, Decoder decode, bool lossy) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto u = decode(text, i);
        const auto c = u ? FromUnicode(*u) : std::nullopt;
        if (!c && !lossy)
            return std::nullopt;
        out += c ? static_cast<char>(*c) : '?';
    }
    return out;
}

struct CaseTables {
    std::array<unsigned char, 256> fold{};
    std::array<unsigned char, 256> upper{};
    constexpr CaseTables() {
        for (int c = 0; c < 256; ++c) {
            fold[c] = static_cast<unsigned char>(c);
            upper[c] = static_cast<unsigned char>(c);
        }
        auto pair = [this](int up, int low) {
            fold[up] = static_cast<unsigned char>(low);
            upper[low] = static_cast<unsigned char>(up);
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDE; ++c)
            if (c != 0xD7) // multiplication sign
                pair(c, c + 32);
        pair(0x8A, 0x9A); // S with caron
        pair(0x8C, 0x9C); // OE
        pair(0x8E, 0x9E); // Z with caron
        pair(0x9F, 0xFF); // Y with diaeresis
    }
};
constexpr CaseTables kCase;

} // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text)
        AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::u16string Cp1252ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text)
        out += ToUnicode(static_cast<unsigned char>(c));
    return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
    return Encode(utf8, DecodeUtf8, false);
}

std::optional<std::string> Utf16ToCp1252(std::u16string_view utf16) {
    return Encode(utf16, DecodeUtf16, false);
}

std::string Utf8ToCp1252Lossy(std::string_view utf8) {
    return *Encode(utf8, DecodeUtf8, true);
}

std::string Utf16ToCp1252Lossy(std::u16string_view utf16) {
    return *Encode(utf16, DecodeUtf16, true);
}

char FoldCase(char c) {
    return static_cast<char>(kCase.fold[static_cast<unsigned char>(c)]);
}

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (char &c : out)
        c = FoldCase(c);
    return out;
}

char UpperCase(char c) {
    return static_cast<char>(kCase.upper[static_cast<unsigned char>(c)]);
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char &c : out)
        c = UpperCase(c);
    return out;
}

bool SameTextCi(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

} // namespace takton
