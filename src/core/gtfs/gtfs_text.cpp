#include "core/gtfs/gtfs_text.h"

#include <array>

namespace takton::gtfs {
namespace {

// The ASCII spelling of the cp1252 letters 0x80-0xFF; empty for the others.
const char *Transliteration(unsigned char c) {
    switch (c) {
    case 0x8A:
    case 0x9A:
        return "s";
    case 0x8C:
    case 0x9C:
        return "oe";
    case 0x8E:
    case 0x9E:
        return "z";
    case 0x9F:
    case 0xFF:
    case 0xDD:
    case 0xFD:
        return "y";
    case 0xC4:
    case 0xE4:
    case 0xC6:
    case 0xE6:
        return "ae";
    case 0xD6:
    case 0xF6:
    case 0xD8:
    case 0xF8:
        return "oe";
    case 0xDC:
    case 0xFC:
        return "ue";
    case 0xDF:
        return "ss";
    case 0xC7:
    case 0xE7:
        return "c";
    case 0xD0:
    case 0xF0:
        return "d";
    case 0xD1:
    case 0xF1:
        return "n";
    case 0xDE:
    case 0xFE:
        return "th";
    default:
        break;
    }
    if ((c >= 0xC0 && c <= 0xC5) || (c >= 0xE0 && c <= 0xE5))
        return "a";
    if ((c >= 0xC8 && c <= 0xCB) || (c >= 0xE8 && c <= 0xEB))
        return "e";
    if ((c >= 0xCC && c <= 0xCF) || (c >= 0xEC && c <= 0xEF))
        return "i";
    if ((c >= 0xD2 && c <= 0xD5) || (c >= 0xF2 && c <= 0xF5))
        return "o";
    if ((c >= 0xD9 && c <= 0xDB) || (c >= 0xF9 && c <= 0xFB))
        return "u";
    return "";
}

} // namespace

std::string ReadableId(std::string_view nameCp1252) {
    std::string id;
    bool gap = false;
    auto add = [&](std::string_view part) {
        if (gap && !id.empty())
            id += '-';
        gap = false;
        id += part;
    };
    for (const char ch : nameCp1252) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))
            add(std::string_view(&ch, 1));
        else if (c >= 'A' && c <= 'Z') {
            const char lower = static_cast<char>(c - 'A' + 'a');
            add(std::string_view(&lower, 1));
        } else if (const char *ascii = Transliteration(c); *ascii)
            add(ascii);
        else
            gap = true;
    }
    return id.empty() ? std::string("x") : id;
}

std::string TIdSet::Take(std::string_view nameCp1252) {
    const std::string base = ReadableId(nameCp1252);
    std::string id = base;
    for (int n = 2; !taken_.insert(id).second; ++n)
        id = base + "-" + std::to_string(n);
    return id;
}

std::size_t DecimalLength(std::uint64_t number) {
    std::size_t length = 1;
    for (; number >= 10; number /= 10)
        ++length;
    return length;
}

char *WriteDecimal(char *out, std::uint64_t number) {
    char *const end = out + DecimalLength(number);
    char *at = end;
    do {
        *--at = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    return end;
}

// Times are never before the service day's midnight.
std::size_t GtfsTimeLength(int minutes) {
    const auto hours = static_cast<std::uint64_t>(minutes / 60);
    return (hours < 10 ? 2 : DecimalLength(hours)) + 6;
}

char *WriteGtfsTime(char *out, int minutes) {
    const auto hours = static_cast<std::uint64_t>(minutes / 60);
    const int rest = minutes % 60;
    if (hours < 10)
        *out++ = '0';
    out = WriteDecimal(out, hours);
    out[0] = ':';
    out[1] = static_cast<char>('0' + rest / 10);
    out[2] = static_cast<char>('0' + rest % 10);
    out[3] = ':';
    out[4] = '0';
    out[5] = '0';
    return out + 6;
}

void AppendGtfsTime(std::string &out, int minutes) {
    std::array<char, 32> buf{};
    out.append(buf.data(),
               static_cast<std::size_t>(WriteGtfsTime(buf.data(), minutes) - buf.data()));
}

bool IsGtfsDate(std::string_view text) {
    if (text.size() != 8)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    auto number = [&](std::size_t at, std::size_t len) {
        int value = 0;
        for (std::size_t i = at; i < at + len; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    const int year = number(0, 4), month = number(4, 2), day = number(6, 2);
    if (year < 1900 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

} // namespace takton::gtfs
