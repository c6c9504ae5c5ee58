#include "large_project.h"

#include "core/files/file_io.h"
#include "core/model/master_data.h"
#include "core/model/timetable_file.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace takton::bench {

namespace {

// ",HH:MM" for a minute of the day, made once.
const std::string &TimeCell(int minutes) {
    static const std::vector<std::string> cells = [] {
        std::vector<std::string> all;
        for (int m = 0; m < 24 * 60; ++m) {
            char cell[8];
            std::snprintf(cell, sizeof cell, ",%02d:%02d", m / 60, m % 60);
            all.emplace_back(cell);
        }
        return all;
    }();
    return cells[static_cast<std::size_t>(minutes % (24 * 60))];
}

// Each line runs on its own minutes (staggered by line), so that changes
// between lines wait for different times, as in a real network.
std::string TimetableText(const TStringList &route, int line) {
    const int stagger = (line * 7) % 30;
    std::string text;
    for (int direction = 1; direction <= 2; ++direction)
        for (const char *group : kDayGroups) {
            text += "[" + TimetableSectionName(direction, group) + "]\r\n";
            for (int r = 0; r < kRouteLength; ++r) {
                const std::string &station = route[direction == 1 ? r : kRouteLength - 1 - r];
                text += std::to_string(r + 1) + "=" + station;
                for (int j = 0; j < kJourneys; ++j)
                    text += TimeCell(300 + stagger + j * 5 + r * 2);
                text += "\r\n";
            }
        }
    return text;
}

const char *const kProjectFileText =
    "[application]\r\nname=ZAL Editor\r\nedition=Standard\r\nversion=1.0.1\r\ntype=full\r\n"
    "[general]\r\nlastsave=09.12.2026 12:00:00\r\n"
    "[daygroups]\r\ndaygroupnames=Mo-Fr,Sa,So\r\n"
    "Mo-Fr_text=Montag bis Freitag\r\n"
    "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday\r\n"
    "Sa_text=Samstag\r\nSa_days=saturday\r\n"
    "So_text=Sonn- und Feiertag\r\nSo_days=sunday\r\n";

} // namespace

std::string StationName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Station %04d", i);
    return name;
}

std::string LineName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Linie %03d", i);
    return name;
}

std::string HubName(int h) {
    return "Knoten " + std::to_string(h);
}

void WritePlain(const std::string &path, const std::string &content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 ||
        ::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
        std::abort();
    ::close(fd);
}

TStringList Route(int line) {
    TStringList route;
    for (int k = 0; k < kRouteLength; ++k)
        route.push_back(StationName((line * 29 + k * 67) % kStations));
    // Line l carries hub l / 20 in the middle of its route.
    route[kRouteLength / 2] = HubName(line / kLinesPerHub);
    return route;
}

LargeProject::LargeProject() {

    std::string pattern = (std::filesystem::temp_directory_path() / "takton-bench-XXXXXX");
    dir_ = ::mkdtemp(pattern.data());
    TStringList stations, lines, routes;
    std::map<std::string, TStringList> index; // station -> lines
    TStringList indexOrder;
    for (int i = 0; i < kStations; ++i)
        stations.push_back(StationName(i));
    for (int h = 0; h < kHubs; ++h)
        stations.push_back(HubName(h));
    for (int l = 0; l < kLines; ++l) {
        const TStringList route = Route(l);
        lines.push_back(LineName(l));
        routes.push_back(LineName(l) + "=" + JoinList(route));
        for (const auto &station : route) {
            auto [it, fresh] = index.try_emplace(station);
            if (fresh)
                indexOrder.push_back(station);
            it->second.push_back(LineName(l));
        }
        WritePlain(TimetablePath(dir_, LineName(l)), TimetableText(route, l));
    }
    TStringList indexEntries;
    for (const auto &station : indexOrder)
        indexEntries.push_back(station + "=" + JoinList(index[station]));
    WritePlain(ProjectPath(dir_, kStationsFile), JoinTextLines(stations));
    WritePlain(ProjectPath(dir_, kLinesFile), JoinTextLines(lines));
    WritePlain(ProjectPath(dir_, kLineStationsFile), JoinTextLines(routes));
    WritePlain(ProjectPath(dir_, kStationLinesFile), JoinTextLines(indexEntries));
    WritePlain(ProjectFile(), kProjectFileText);
}

LargeProject::~LargeProject() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string LargeProject::ProjectFile() const {
    return (std::filesystem::path(dir_) / "large.zpr").string();
}

std::vector<std::string> LargeProject::HubFiles(int hub, const std::string &lineSuffix) const {
    std::vector<std::string> files = {ProjectPath(dir_, kLineStationsFile),
                                      ProjectPath(dir_, kStationLinesFile)};
    for (int l = hub * kLinesPerHub; l < (hub + 1) * kLinesPerHub; ++l)
        files.push_back(TimetablePath(dir_, LineName(l) + lineSuffix));
    return files;
}

LargeProject &Project() {
    static LargeProject project;
    return project;
}

} // namespace takton::bench
