#include "core/webcopy/web_time.h"

#include "core/util/cp1252.h"
#include "core/webcopy/html_text.h"

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

// "6:25", "06:25", "6.25" alone: most cells of a timetable, decided at once
// (1 a time, 0 none); -1 for any other text.
int PlainTime(std::string_view text) {
    const auto digit = [](char c) { return static_cast<unsigned char>(c - '0') < 10; };
    const char *t = text.data();
    int hour = 0;
    if (text.size() == 5 && digit(t[0]) && digit(t[1]))
        hour = (t[0] - '0') * 10 + (t[1] - '0');
    else if (text.size() == 4 && digit(t[0]))
        hour = t[0] - '0';
    else
        return -1;
    t += text.size() - 3;
    if ((t[0] != ':' && t[0] != '.') || !digit(t[1]) || !digit(t[2]))
        return -1;
    return hour <= 23 && t[1] <= '5';
}

// The reference that fills empty cells of most timetables, as
// DecodeHtmlReference reads it, without looking it up.
constexpr std::string_view kNbsp = "&nbsp;";

// Tags skipped, references decoded, blanks collapsed, as far as the text can
// still be a time. Kept out of IsTimeLikeHtmlCell so that plain cells cost no
// more than a leaf call.
[[gnu::noinline]] bool IsTimeThroughMarkup(std::string_view source) {
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
            if (source.substr(i, kNbsp.size()) == kNbsp) {
                add('\xA0');
                i += kNbsp.size();
                continue;
            }
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
    return length > 0 && ParseWebTime(std::string_view(text.data(), length)).has_value();
}

} // namespace

bool IsTimeLikeHtmlCell(std::string_view source) {
    const int plain = PlainTime(source);
    return plain >= 0 ? plain == 1 : IsTimeThroughMarkup(source);
}

} // namespace takton
