#include "core/webcopy/html_text.h"

#include "core/util/cp1252.h"
#include "core/webcopy/html_entity_table.h"

#include <algorithm>
#include <cstdint>

namespace takton {
namespace {

// The longest entity name of the table is far below this.
constexpr std::size_t kMaxEntityName = 40;
// Legacy names (accepted without ";") are at most this long ("frac34").
constexpr std::size_t kMaxLegacyName = 6;

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (!hex)
        return -1;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const THtmlEntity *FindEntity(std::string_view name) {
    const THtmlEntity *const begin = kHtmlEntities;
    const THtmlEntity *const end = kHtmlEntities + kHtmlEntityCount;
    const THtmlEntity *hit = std::lower_bound(
        begin, end, name, [](const THtmlEntity &e, std::string_view n) { return e.Name < n; });
    return hit != end && hit->Name == name ? hit : nullptr;
}

// Code points 128-159 stand for the cp1252 characters of those bytes, as
// browsers read them ("&#128;" is the euro sign); 0, surrogates and what lies
// beyond the 16-bit plane cp1252 cannot hold.
void AppendCodePoint(std::uint32_t code, std::string &out) {
    if (code == 0 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF))
        out += '?';
    else if (code >= 0x80 && code <= 0x9F)
        out += static_cast<char>(code);
    else
        out += Utf16ToCp1252Lossy(std::u16string(1, static_cast<char16_t>(code)));
}

std::size_t DecodeNumeric(std::string_view text, std::size_t at, std::string &out) {
    std::size_t i = at + 2; // after "&#"
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex)
        ++i;
    const std::size_t digitsBegin = i;
    std::uint32_t code = 0;
    for (int d; i < text.size() && (d = DigitValue(text[i], hex)) >= 0; ++i)
        code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + static_cast<std::uint32_t>(d),
                                       0x110000);
    if (i == digitsBegin)
        return 0;
    if (i < text.size() && text[i] == ';')
        ++i;
    AppendCodePoint(code, out);
    return i - at;
}

std::size_t DecodeNamed(std::string_view text, std::size_t at, std::string &out) {
    const std::size_t nameBegin = at + 1;
    std::size_t end = nameBegin;
    while (end < text.size() && end - nameBegin < kMaxEntityName && IsAsciiAlnum(text[end]))
        ++end;
    if (end == nameBegin)
        return 0;
    if (end < text.size() && text[end] == ';') {
        if (const THtmlEntity *entity = FindEntity(text.substr(nameBegin, end + 1 - nameBegin))) {
            out += entity->Value;
            return end + 1 - at;
        }
    }
    // Without ";" only a legacy name counts, the longest that fits.
    for (std::size_t length = std::min(end - nameBegin, kMaxLegacyName); length > 0; --length)
        if (const THtmlEntity *entity = FindEntity(text.substr(nameBegin, length))) {
            out += entity->Value;
            return length + 1;
        }
    return 0;
}

} // namespace

std::size_t DecodeHtmlReference(std::string_view text, std::size_t at, std::string &out) {
    if (at + 1 >= text.size() || text[at] != '&')
        return 0;
    if (text[at + 1] == '#')
        return DecodeNumeric(text, at, out);
    return DecodeNamed(text, at, out);
}

std::string DecodeHtmlReferences(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        const std::size_t taken = DecodeHtmlReference(text, amp, out);
        if (taken == 0) {
            out += '&';
            i = amp + 1;
        } else {
            i = amp + taken;
        }
    }
    return out;
}

bool IsCellBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\xA0';
}

std::string WebCellText(std::string_view text) {
    const std::string decoded = DecodeHtmlReferences(text);
    std::size_t begin = 0;
    std::size_t end = decoded.size();
    while (begin < end && IsCellBlank(decoded[begin]))
        ++begin;
    while (end > begin && IsCellBlank(decoded[end - 1]))
        --end;
    return decoded.substr(begin, end - begin);
}

bool IsHtmlText(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::size_t i = 0;
    while (i < text.size() && IsCellBlank(text[i]))
        ++i;
    if (i + 1 >= text.size() || text[i] != '<')
        return false;
    const char c = text[i + 1];
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '!' || c == '/' || c == '?';
}

} // namespace takton
