#include "util/web_time.h"

#include "util/cp1252.h"
#include "util/html_text.h"

#include <array>
#include <cstring>

namespace takton {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

enum class DaySide { None, Am, Pm };

// The suffix after a time: nothing, am/pm in two spellings, or "Uhr".
std::optional<DaySide> ParseSuffix(std::string_view text) {
    if (text.empty() || SameTextCi(text, "uhr"))
        return DaySide::None;
    if (SameTextCi(text, "am") || SameTextCi(text, "a.m."))
        return DaySide::Am;
    if (SameTextCi(text, "pm") || SameTextCi(text, "p.m."))
        return DaySide::Pm;
    return std::nullopt;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsCellBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsCellBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<TWebTime> ParseWebTime(std::string_view text) {
    text = TrimBlanks(text);
    std::size_t i = 0;
    int hour = 0;
    while (i < text.size() && i < 2 && IsDigit(text[i]))
        hour = hour * 10 + (text[i++] - '0');
    if (i == 0 || i + 3 > text.size() || (text[i] != ':' && text[i] != '.'))
        return std::nullopt;
    if (!IsDigit(text[i + 1]) || !IsDigit(text[i + 2]))
        return std::nullopt;
    const int minute = (text[i + 1] - '0') * 10 + (text[i + 2] - '0');
    const auto side = ParseSuffix(TrimBlanks(text.substr(i + 3)));
    if (!side || minute > 59)
        return std::nullopt;
    if (*side == DaySide::None)
        return hour <= 23 ? std::optional<TWebTime>({hour, minute}) : std::nullopt;
    if (hour < 1 || hour > 12)
        return std::nullopt;
    hour %= 12;
    if (*side == DaySide::Pm)
        hour += 12;
    return TWebTime{hour, minute};
}

std::string TimetableTimeText(std::string_view text) {
    const auto time = ParseWebTime(text);
    if (!time)
        return std::string(text);
    char out[6] = {static_cast<char>('0' + time->Hour / 10),
                   static_cast<char>('0' + time->Hour % 10),
                   ':',
                   static_cast<char>('0' + time->Minute / 10),
                   static_cast<char>('0' + time->Minute % 10),
                   '\0'};
    return out;
}

namespace {

// "6:25", "06:25", "6.25" alone: most cells of a timetable, decided at once.
std::optional<bool> PlainTime(std::string_view text) {
    if (text.size() != 4 && text.size() != 5)
        return std::nullopt;
    const std::size_t sep = text.size() - 3;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != sep && !IsDigit(text[i]))
            return std::nullopt;
    if (text[sep] != ':' && text[sep] != '.')
        return std::nullopt;
    const int hour = sep == 2 ? (text[0] - '0') * 10 + (text[1] - '0') : text[0] - '0';
    return hour <= 23 && text[sep + 1] <= '5';
}

} // namespace

bool IsTimeLikeHtmlCell(std::string_view source) {
    if (const auto plain = PlainTime(source))
        return *plain;
    // "11:10 a.m." is the longest time; blanks inside collapse to one.
    std::array<char, 16> text{};
    std::size_t length = 0;
    bool blankPending = false;
    std::string decoded;
    auto add = [&](char c) {
        if (IsCellBlank(c)) {
            blankPending = length > 0;
            return true;
        }
        if (length == 0 && !IsDigit(c))
            return false;
        if (length + (blankPending ? 2 : 1) > text.size())
            return false;
        if (blankPending)
            text[length++] = ' ';
        blankPending = false;
        text[length++] = c;
        return true;
    };
    for (std::size_t i = 0; i < source.size();) {
        const char c = source[i];
        if (c == '<') {
            const void *close = std::memchr(source.data() + i, '>', source.size() - i);
            if (close) {
                i = static_cast<std::size_t>(static_cast<const char *>(close) - source.data()) + 1;
                continue;
            }
        } else if (c == '&') {
            decoded.clear();
            if (const std::size_t taken = DecodeHtmlReference(source, i, decoded)) {
                for (const char d : decoded)
                    if (!add(d))
                        return false;
                i += taken;
                continue;
            }
        }
        if (!add(c))
            return false;
        ++i;
    }
    return ParseWebTime(std::string_view(text.data(), length)).has_value();
}

} // namespace takton
