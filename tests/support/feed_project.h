#pragma once

// Generated projects for the feed export's tests and benchmark: stations with
// positions, lines whose routes wander through them, and timetables of
// regular journeys in both directions of three day groups.

#include "core/model/prj_params.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace takton::testing {

struct TFeedProjectSize {
    int Stations = 2000;
    int Lines = 300;
    int StopsPerLine = 28;
    int Journeys = 200;
};

inline TPrjParams FeedProjectParams() {
    TPrjParams params;
    params.DayGroups = {
        {"Mo-Fr", "Montag bis Freitag", 0x1F}, {"Sa", "Samstag", 0x20}, {"So", "Sonntag", 0x40}};
    params.Publishing.AgencyName = "Verkehrsbetrieb";
    params.Publishing.AgencyUrl = "https://example.org";
    params.Publishing.FirstDate = "20270101";
    params.Publishing.LastDate = "20271231";
    return params;
}

inline std::string FeedStationName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Haltestelle %04d", i);
    return name;
}

inline void WriteFeedProject(const std::string &dir, const TFeedProjectSize &size) {
    auto open = [&](const std::string &name) {
        return std::ofstream(dir + "/" + name, std::ios::binary);
    };
    {
        auto stations = open("stations.csv");
        auto data = open("station_data.csv");
        for (int i = 0; i < size.Stations; ++i) {
            stations << FeedStationName(i) << "\r\n";
            data << FeedStationName(i) << '=' << 50 + (i % 100) * 0.01 << ','
                 << 12 + (i / 100) * 0.01 << ",Z" << i % 5 << ",\r\n";
        }
    }
    auto lines = open("lines.csv");
    const char *groups[] = {"Mo-Fr", "Sa", "So"};
    std::string row;
    for (int l = 0; l < size.Lines; ++l) {
        const std::string line = "L" + std::to_string(l + 1);
        lines << line << "\r\n";
        auto file = open("line_" + line + ".ttd");
        for (const char *group : groups)
            for (int direction = 1; direction <= 2; ++direction) {
                file << '[' << direction << '_' << group << "]\r\n";
                for (int s = 0; s < size.StopsPerLine; ++s) {
                    const int stop = direction == 1 ? s : size.StopsPerLine - 1 - s;
                    row = std::to_string(s + 1) + "=" +
                          FeedStationName((l * 7 + stop * 13) % size.Stations);
                    for (int j = 0; j < size.Journeys; ++j) {
                        const int minutes = (300 + l % 30 + j * 5 + s * 2) % 1440;
                        char time[8];
                        std::snprintf(time, sizeof time, ",%02d:%02d", minutes / 60, minutes % 60);
                        row += time;
                    }
                    file << row << "\r\n";
                }
            }
    }
}

} // namespace takton::testing
