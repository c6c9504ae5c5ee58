#include "core/gtfs/feed_reader.h"

#include "core/model/calendar_date.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <zip.h>

namespace takton::testing {

std::map<std::string, std::string> ReadZip(const std::string &path) {
    std::map<std::string, std::string> files;
    int error = 0;
    zip_t *archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    EXPECT_NE(archive, nullptr) << path << " is no readable zip";
    if (!archive)
        return files;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string bytes(stat.size, '\0');
        zip_file_t *file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        EXPECT_EQ(zip_fread(file, bytes.data(), stat.size), static_cast<zip_int64_t>(stat.size));
        zip_fclose(file);
        files[stat.name] = std::move(bytes);
    }
    zip_discard(archive);
    return files;
}

std::string TCsvTable::Get(std::size_t row, const std::string &column) const {
    const auto at = std::find(Header.begin(), Header.end(), column);
    if (at == Header.end() || row >= Rows.size())
        return {};
    const auto index = static_cast<std::size_t>(at - Header.begin());
    return index < Rows[row].size() ? Rows[row][index] : std::string();
}

bool TCsvTable::Has(const std::string &column) const {
    return std::find(Header.begin(), Header.end(), column) != Header.end();
}

TCsvTable ParseCsv(const std::string &text) {
    TCsvTable table;
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false, fieldStarted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"' && field.empty())
            quoted = fieldStarted = true;
        else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            fieldStarted = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        table.WellFormed = false;
    if (fieldStarted || !field.empty()) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    if (records.empty())
        return table;
    table.Header = std::move(records.front());
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (records[i].size() != table.Header.size())
            table.WellFormed = false;
        table.Rows.push_back(std::move(records[i]));
    }
    return table;
}

namespace {

bool IsDate(const std::string &t) {
    if (t.size() != 8 || !std::all_of(t.begin(), t.end(), ::isdigit))
        return false;
    const int y = std::stoi(t.substr(0, 4)), m = std::stoi(t.substr(4, 2)),
              d = std::stoi(t.substr(6, 2));
    const int days[] = {31, (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 29 : 28,
                        31, 30,
                        31, 30,
                        31, 31,
                        30, 31,
                        30, 31};
    return m >= 1 && m <= 12 && d >= 1 && d <= days[m - 1];
}

// Seconds of "H:MM:SS" or "HH:MM:SS", -1 when malformed.
int Seconds(const std::string &t) {
    const auto colon = t.find(':');
    if (colon == std::string::npos || colon < 1 || colon > 2 || t.size() != colon + 6 ||
        t[colon + 3] != ':')
        return -1;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (i != colon && i != colon + 3 && !::isdigit(static_cast<unsigned char>(t[i])))
            return -1;
    const int m = std::stoi(t.substr(colon + 1, 2)), s = std::stoi(t.substr(colon + 4, 2));
    if (m > 59 || s > 59)
        return -1;
    return std::stoi(t.substr(0, colon)) * 3600 + m * 60 + s;
}

bool IsUtf8(const std::string &text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > text.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}

bool IsRouteType(int t) {
    return (t >= 0 && t <= 7) || t == 11 || t == 12 || (t >= 100 && t <= 1702);
}

struct TChecker {
    std::map<std::string, TCsvTable> tables;
    std::vector<std::string> problems;

    void Problem(const std::string &text) {
        if (problems.size() < 50)
            problems.push_back(text);
    }
    // Required columns present and never empty; ids unique.
    void Require(const std::string &file, std::initializer_list<const char *> columns) {
        const TCsvTable &t = tables[file];
        for (const char *column : columns) {
            if (!t.Has(column)) {
                Problem(file + ": required field " + column + " missing");
                continue;
            }
            for (std::size_t r = 0; r < t.Rows.size(); ++r)
                if (t.Get(r, column).empty()) {
                    Problem(file + ": row " + std::to_string(r + 2) + " has empty " + column);
                    break;
                }
        }
    }
    std::set<std::string> Ids(const std::string &file, const std::string &column) {
        std::set<std::string> ids;
        const TCsvTable &t = tables[file];
        for (std::size_t r = 0; r < t.Rows.size(); ++r)
            if (!ids.insert(t.Get(r, column)).second)
                Problem(file + ": " + column + " " + t.Get(r, column) + " twice");
        return ids;
    }
    void References(const std::string &file, const std::string &column,
                    const std::set<std::string> &ids, const std::string &target) {
        const TCsvTable &t = tables[file];
        for (std::size_t r = 0; r < t.Rows.size(); ++r)
            if (!ids.contains(t.Get(r, column))) {
                Problem(file + ": " + column + " " + t.Get(r, column) + " not in " + target);
                return;
            }
    }
};

} // namespace

std::vector<std::string> ValidateFeed(const std::map<std::string, std::string> &files) {
    TChecker c;
    for (const char *required :
         {"agency.txt", "stops.txt", "routes.txt", "trips.txt", "stop_times.txt", "calendar.txt"})
        if (!files.contains(required))
            c.Problem(std::string("required file ") + required + " missing");
    for (const auto &[name, text] : files) {
        if (!IsUtf8(text))
            c.Problem(name + ": not UTF-8");
        c.tables[name] = ParseCsv(text);
        if (!c.tables[name].WellFormed)
            c.Problem(name + ": malformed CSV");
        if (c.tables[name].Rows.empty())
            c.Problem(name + ": no rows");
    }
    if (!c.problems.empty())
        return c.problems;

    c.Require("agency.txt", {"agency_name", "agency_url", "agency_timezone"});
    c.Require("stops.txt", {"stop_id", "stop_name", "stop_lat", "stop_lon"});
    c.Require("routes.txt", {"route_id", "route_type"});
    c.Require("trips.txt", {"route_id", "service_id", "trip_id"});
    c.Require("stop_times.txt", {"trip_id", "stop_id", "stop_sequence"});
    c.Require("calendar.txt", {"service_id", "monday", "tuesday", "wednesday", "thursday", "friday",
                               "saturday", "sunday", "start_date", "end_date"});
    if (files.contains("feed_info.txt"))
        c.Require("feed_info.txt", {"feed_publisher_name", "feed_publisher_url", "feed_lang"});

    const auto &agency = c.tables["agency.txt"];
    const auto agencies = c.Ids("agency.txt", "agency_id");
    std::set<std::string> timezones;
    for (std::size_t r = 0; r < agency.Rows.size(); ++r) {
        const std::string url = agency.Get(r, "agency_url");
        if (!url.starts_with("http://") && !url.starts_with("https://"))
            c.Problem("agency.txt: agency_url " + url + " is no URL");
        timezones.insert(agency.Get(r, "agency_timezone"));
        if (agency.Get(r, "agency_timezone").find('/') == std::string::npos)
            c.Problem("agency.txt: agency_timezone is no tz name");
    }
    if (timezones.size() > 1)
        c.Problem("agency.txt: agencies in different time zones");

    const auto &stops = c.tables["stops.txt"];
    const auto stopIds = c.Ids("stops.txt", "stop_id");
    for (std::size_t r = 0; r < stops.Rows.size(); ++r) {
        const double lat = std::stod(stops.Get(r, "stop_lat"));
        const double lon = std::stod(stops.Get(r, "stop_lon"));
        if (lat < -90 || lat > 90 || lon < -180 || lon > 180 || (lat == 0 && lon == 0))
            c.Problem("stops.txt: coordinates of " + stops.Get(r, "stop_id") + " out of range");
    }

    const auto &routes = c.tables["routes.txt"];
    const auto routeIds = c.Ids("routes.txt", "route_id");
    for (std::size_t r = 0; r < routes.Rows.size(); ++r) {
        if (routes.Get(r, "route_short_name").empty() && routes.Get(r, "route_long_name").empty())
            c.Problem("routes.txt: route without a name");
        if (!IsRouteType(std::stoi(routes.Get(r, "route_type"))))
            c.Problem("routes.txt: bad route_type " + routes.Get(r, "route_type"));
    }
    if (agency.Rows.size() > 1 || routes.Has("agency_id"))
        c.References("routes.txt", "agency_id", agencies, "agency.txt");

    const auto &calendar = c.tables["calendar.txt"];
    const auto services = c.Ids("calendar.txt", "service_id");
    for (std::size_t r = 0; r < calendar.Rows.size(); ++r) {
        for (const char *day :
             {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"})
            if (calendar.Get(r, day) != "0" && calendar.Get(r, day) != "1")
                c.Problem("calendar.txt: weekday flag neither 0 nor 1");
        const std::string start = calendar.Get(r, "start_date"), end = calendar.Get(r, "end_date");
        if (!IsDate(start) || !IsDate(end) || end < start)
            c.Problem("calendar.txt: bad dates " + start + " " + end);
    }

    const auto &trips = c.tables["trips.txt"];
    const auto tripIds = c.Ids("trips.txt", "trip_id");
    c.References("trips.txt", "route_id", routeIds, "routes.txt");
    c.References("trips.txt", "service_id", services, "calendar.txt");
    std::set<std::string> usedRoutes;
    for (std::size_t r = 0; r < trips.Rows.size(); ++r) {
        usedRoutes.insert(trips.Get(r, "route_id"));
        const std::string direction = trips.Get(r, "direction_id");
        if (!direction.empty() && direction != "0" && direction != "1")
            c.Problem("trips.txt: direction_id " + direction);
    }
    if (usedRoutes.size() != routeIds.size())
        c.Problem("routes.txt: a route without trips");

    // stop_times: rows of a trip together, sequence increasing, times not
    // decreasing, first and last stop timed, at least two stops a trip.
    const auto &times = c.tables["stop_times.txt"];
    c.References("stop_times.txt", "trip_id", tripIds, "trips.txt");
    c.References("stop_times.txt", "stop_id", stopIds, "stops.txt");
    std::set<std::string> finished, usedStops;
    std::string trip;
    long lastSequence = -1;
    int lastTime = -1;
    std::size_t count = 0;
    auto endTrip = [&](std::size_t lastRow) {
        if (trip.empty())
            return;
        if (count < 2)
            c.Problem("stop_times.txt: trip " + trip + " with fewer than two stops");
        if (times.Get(lastRow, "arrival_time").empty())
            c.Problem("stop_times.txt: last stop of " + trip + " without time");
        finished.insert(trip);
    };
    for (std::size_t r = 0; r < times.Rows.size(); ++r) {
        const std::string id = times.Get(r, "trip_id");
        usedStops.insert(times.Get(r, "stop_id"));
        if (id != trip) {
            endTrip(r - 1);
            if (finished.contains(id))
                c.Problem("stop_times.txt: rows of trip " + id + " apart");
            trip = id;
            lastSequence = -1;
            lastTime = -1;
            count = 0;
            if (times.Get(r, "arrival_time").empty() || times.Get(r, "departure_time").empty())
                c.Problem("stop_times.txt: first stop of " + id + " without time");
        }
        ++count;
        const long sequence = std::stol(times.Get(r, "stop_sequence"));
        if (sequence < 0 || sequence <= lastSequence)
            c.Problem("stop_times.txt: stop_sequence not increasing in " + id);
        lastSequence = sequence;
        const std::string arrival = times.Get(r, "arrival_time");
        const std::string departure = times.Get(r, "departure_time");
        if (arrival.empty() != departure.empty())
            c.Problem("stop_times.txt: only one of arrival and departure in " + id);
        if (arrival.empty())
            continue;
        const int a = Seconds(arrival), d = Seconds(departure);
        if (a < 0 || d < 0)
            c.Problem("stop_times.txt: malformed time in " + id);
        if (a < lastTime || d < a)
            c.Problem("stop_times.txt: time decreasing in " + id);
        lastTime = d;
    }
    if (!times.Rows.empty())
        endTrip(times.Rows.size() - 1);
    if (finished.size() != tripIds.size())
        c.Problem("trips.txt: a trip without stop times");
    if (usedStops.size() != stopIds.size())
        c.Problem("stops.txt: a stop no trip serves");

    if (files.contains("feed_info.txt")) {
        const auto &info = c.tables["feed_info.txt"];
        const std::string start = info.Get(0, "feed_start_date"),
                          end = info.Get(0, "feed_end_date");
        if (!start.empty() && !IsDate(start))
            c.Problem("feed_info.txt: bad feed_start_date");
        if (!end.empty() && !IsDate(end))
            c.Problem("feed_info.txt: bad feed_end_date");
        // Every service runs through the feed's whole period.
        for (std::size_t r = 0; r < calendar.Rows.size(); ++r)
            if (calendar.Get(r, "start_date") > start || calendar.Get(r, "end_date") < end)
                c.Problem("calendar.txt: service " + calendar.Get(r, "service_id") +
                          " does not cover the feed period");
        if (info.Rows.size() != 1)
            c.Problem("feed_info.txt: not exactly one row");
    }
    return c.problems;
}

std::map<std::string, std::set<std::string>>
ServiceDates(const std::map<std::string, std::string> &files) {
    std::map<std::string, std::set<std::string>> dates;
    if (files.contains("calendar.txt")) {
        const TCsvTable calendar = ParseCsv(files.at("calendar.txt"));
        const char *weekdays[] = {"monday", "tuesday",  "wednesday", "thursday",
                                  "friday", "saturday", "sunday"};
        for (std::size_t r = 0; r < calendar.Rows.size(); ++r) {
            auto &set = dates[calendar.Get(r, "service_id")];
            const TDate last = *ParseCompactDate(calendar.Get(r, "end_date"));
            for (TDate day = *ParseCompactDate(calendar.Get(r, "start_date")); day <= last;
                 day = day + 1)
                if (calendar.Get(r, weekdays[WeekdayOf(day)]) == "1")
                    set.insert(CompactDateText(day));
        }
    }
    if (files.contains("calendar_dates.txt")) {
        const TCsvTable exceptions = ParseCsv(files.at("calendar_dates.txt"));
        for (std::size_t r = 0; r < exceptions.Rows.size(); ++r) {
            auto &set = dates[exceptions.Get(r, "service_id")];
            if (exceptions.Get(r, "exception_type") == "1")
                EXPECT_TRUE(set.insert(exceptions.Get(r, "date")).second) << "added twice";
            else
                EXPECT_EQ(set.erase(exceptions.Get(r, "date")), 1U) << "removed what is not there";
        }
    }
    return dates;
}

} // namespace takton::testing
