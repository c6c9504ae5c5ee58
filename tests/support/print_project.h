#pragma once

// Small hand-made projects for the printed documents, in cp1252 with CR LF:
// line 10 (Nord - Mitte - Süd) with an arrival/departure pair at Mitte and
// an interval, line 20 (Ost - Mitte - West) with a journey that ends at
// Mitte, line 30 (Mitte - Bahnhof) past midnight and ending at Mitte the
// other way, and line 40 with 40 journeys, too many for one page.

#include <string>
#include <vector>

namespace takton::testing {

inline std::string CrLf(std::initializer_list<const char *> lines) {
    std::string text;
    for (const char *line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

// The 40 journeys of line 40: from 05:00 every 15 minutes.
inline std::string ManyJourneysTimetable() {
    std::string text = "[1_Mo-Fr]\r\n";
    for (int s = 0; s < 5; ++s) {
        text += std::to_string(s + 1) + "=Halt " + std::to_string(s + 1);
        for (int j = 0; j < 40; ++j) {
            const int t = 5 * 60 + j * 15 + s * 4;
            char cell[8];
            std::snprintf(cell, sizeof cell, ",%02d:%02d", t / 60, t % 60);
            text += cell;
        }
        text += "\r\n";
    }
    return text;
}

// Writes the project into the folder through write(name, bytes).
template <class Writer> void WritePrintProject(Writer write) {
    write("print.zpr",
          CrLf({"[application]", "name=ZAL Editor", "[daygroups]", "daygroupnames=Mo-Fr,So",
                "Mo-Fr_text=Montag bis Freitag",
                "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday", "So_text=Sonn- und Feiertag",
                "So_days=sunday", "[timetable]", "max_drive_minutes=60", "[publishing]",
                "first_date=20270101", "last_date=20271231"}));
    write("stations.csv",
          CrLf({"Nord", "Mitte",
                "S\xFC"
                "d",
                "Ost", "West", "Bahnhof", "Halt 1", "Halt 2", "Halt 3", "Halt 4", "Halt 5"}));
    write("lines.csv", CrLf({"10", "20", "30", "40"}));
    write("line_stations.csv",
          CrLf({"10=Nord,Mitte,S\xFC"
                "d",
                "20=Ost,Mitte,West", "30=Mitte,Bahnhof", "40=Halt 1,Halt 2,Halt 3,Halt 4,Halt 5"}));
    write("station_lines.csv", CrLf({"Nord=10", "Mitte=10,20,30",
                                     "S\xFC"
                                     "d=10",
                                     "Ost=20", "West=20", "Bahnhof=30", "Halt 1=40"}));
    write("line_10.ttd",
          CrLf({"[1_Mo-Fr]", "1=Nord,06:00,06:30,20 Min,08:00", "2=Mitte,06:10,06:40,20 Min,08:10",
                "3=Mitte,06:12,06:42,20 Min,08:12",
                "4=S\xFC"
                "d,06:20,06:50,20 Min,08:20",
                "[2_Mo-Fr]",
                "1=S\xFC"
                "d,07:00,09:00",
                "2=Mitte,07:08,09:08", "3=Nord,07:18,09:18", "[1_So]", "1=Nord,10:00",
                "2=Mitte,10:10", "3=Mitte,10:11",
                "4=S\xFC"
                "d,10:20"}));
    write("line_20.ttd",
          CrLf({"[1_Mo-Fr]", "1=Ost,05:55", "2=Mitte,06:05", "3=West,06:15", "[2_Mo-Fr]",
                "1=West,06:30,07:30", "2=Mitte,06:40,07:40", "3=Ost,,07:50"}));
    write("line_30.ttd", CrLf({"[1_Mo-Fr]", "1=Mitte,23:50", "2=Bahnhof,00:05", "[2_Mo-Fr]",
                               "1=Bahnhof,05:00", "2=Mitte,05:10"}));
    write("line_40.ttd", ManyJourneysTimetable());
}

} // namespace takton::testing
