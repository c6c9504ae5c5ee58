#include "core/calendar/holidays.h"

#include "core/util/cp1252.h"

#include <algorithm>
#include <array>

namespace takton::calendar {
namespace {

// A holiday and where and since when it is one.
struct TRule {
    const char *Name;    // UTF-8
    int Month;           // 0: counted from Easter Sunday
    int Day;             // day of the month, or days after Easter Sunday
    const char *Laender; // codes separated by blanks; "*" for all
    int Since;           // first year it is kept
};

const std::array<TRule, 21> kRules = {{
    {"Neujahr", 1, 1, "*", 0},
    {"Heilige Drei Könige", 1, 6, "BW BY ST", 0},
    {"Internationaler Frauentag", 3, 8, "BE", 2019},
    {"Internationaler Frauentag", 3, 8, "MV", 2023},
    {"Karfreitag", 0, -2, "*", 0},
    {"Ostersonntag", 0, 0, "BB", 0},
    {"Ostermontag", 0, 1, "*", 0},
    {"Tag der Arbeit", 5, 1, "*", 0},
    {"Christi Himmelfahrt", 0, 39, "*", 0},
    {"Pfingstsonntag", 0, 49, "BB", 0},
    {"Pfingstmontag", 0, 50, "*", 0},
    {"Fronleichnam", 0, 60, "BW BY HE NW RP SL", 0},
    {"Mariä Himmelfahrt", 8, 15, "SL", 0},
    {"Weltkindertag", 9, 20, "TH", 2019},
    {"Tag der Deutschen Einheit", 10, 3, "*", 1990},
    {"Reformationstag", 10, 31, "BB MV SN ST TH", 1990},
    {"Reformationstag", 10, 31, "HB HH NI SH", 2018},
    {"Allerheiligen", 11, 1, "BW BY NW RP SL", 0},
    {"Buß- und Bettag", 11, -1, "SN", 1995},
    {"1. Weihnachtstag", 12, 25, "*", 0},
    {"2. Weihnachtstag", 12, 26, "*", 0},
}};

bool RuleHolds(const TRule &rule, std::string_view land, int year) {
    if (year < rule.Since)
        return false;
    const std::string_view list = rule.Laender;
    if (list == "*")
        return true;
    for (std::size_t at = 0; at + 2 <= list.size(); at += 3)
        if (list.substr(at, 2) == land)
            return true;
    return false;
}

} // namespace

const std::vector<TLand> &Laender() {
    static const std::vector<TLand> laender = [] {
        static const std::string names[] = {Cp1252("Baden-Württemberg"),
                                            "Bayern",
                                            "Berlin",
                                            "Brandenburg",
                                            "Bremen",
                                            "Hamburg",
                                            "Hessen",
                                            "Mecklenburg-Vorpommern",
                                            "Niedersachsen",
                                            "Nordrhein-Westfalen",
                                            "Rheinland-Pfalz",
                                            "Saarland",
                                            "Sachsen",
                                            "Sachsen-Anhalt",
                                            "Schleswig-Holstein",
                                            Cp1252("Thüringen")};
        static const char *const codes[] = {"BW", "BY", "BE", "BB", "HB", "HH", "HE", "MV",
                                            "NI", "NW", "RP", "SL", "SN", "ST", "SH", "TH"};
        std::vector<TLand> list;
        for (std::size_t i = 0; i < 16; ++i)
            list.push_back({codes[i], names[i].c_str()});
        return list;
    }();
    return laender;
}

const TLand *FindLand(std::string_view code) {
    for (const TLand &land : Laender())
        if (code == land.Code)
            return &land;
    return nullptr;
}

TDate EasterSunday(int year) {
    // The Gregorian computus (Meeus/Jones/Butcher).
    const int a = year % 19, b = year / 100, c = year % 100;
    const int d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return *DateOf(year, month, day);
}

TDate RepentanceDay(int year) {
    const TDate nov23 = *DateOf(year, 11, 23);
    // Wednesday is weekday 2; at least one day back, at most seven.
    const int back = (WeekdayOf(nov23) - 2 + 7) % 7;
    return nov23 + -(back == 0 ? 7 : back);
}

std::vector<THoliday> PublicHolidays(std::string_view land, int year) {
    std::vector<THoliday> holidays;
    if (!FindLand(land) || year < 1583 || year > 9999)
        return holidays;
    const TDate easter = EasterSunday(year);
    for (const TRule &rule : kRules) {
        if (!RuleHolds(rule, land, year))
            continue;
        TDate date;
        if (rule.Month == 0)
            date = easter + rule.Day;
        else if (rule.Day < 0)
            date = RepentanceDay(year);
        else
            date = *DateOf(year, rule.Month, rule.Day);
        holidays.push_back({date, Cp1252(rule.Name)});
    }
    std::stable_sort(holidays.begin(), holidays.end(),
                     [](const THoliday &a, const THoliday &b) { return a.Date < b.Date; });
    return holidays;
}

} // namespace takton::calendar
