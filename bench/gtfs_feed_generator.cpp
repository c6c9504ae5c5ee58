#include "gtfs_feed_generator.h"

#include "core/gtfs/gtfs_zip.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace takton::bench {
namespace {

// stop_times.txt row by row as the zip asks for it.
class TStopTimesStream final : public gtfs::TZipStream {
  public:
    explicit TStopTimesStream(const TFeedShape &shape) : shape_(shape) { Count(); }
    std::uint64_t Size() const override { return size_; }
    void Rewind() override {
        route_ = trip_ = stop_ = 0;
        header_ = false;
        pending_.clear();
        at_ = 0;
    }
    std::size_t Read(char *out, std::size_t size) override {
        std::size_t given = 0;
        while (given < size) {
            if (at_ == pending_.size()) {
                pending_.clear();
                at_ = 0;
                if (!Next())
                    break;
            }
            const std::size_t n = std::min(size - given, pending_.size() - at_);
            std::memcpy(out + given, pending_.data() + at_, n);
            at_ += n;
            given += n;
        }
        return given;
    }
    std::size_t Rows() const { return rows_; }

  private:
    // The next rows (one trip) into pending_; false at the end.
    bool Next() {
        if (!header_) {
            header_ = true;
            pending_ = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\r\n";
            return true;
        }
        if (route_ >= shape_.Routes)
            return false;
        AppendTrip(pending_, route_, trip_);
        if (++trip_ == shape_.TripsPerRoute) {
            trip_ = 0;
            ++route_;
        }
        return true;
    }
    void AppendTrip(std::string &out, int route, int trip) const {
        const bool back = trip % 2 == 1;
        const int start = 5 * 60 + (trip / 2) * 1200 / std::max(1, shape_.TripsPerRoute / 2) % 1140;
        char line[128];
        for (int s = 0; s < shape_.StopsPerRoute; ++s) {
            const int k = back ? shape_.StopsPerRoute - 1 - s : s;
            const int station = (route * 7 + k) % shape_.Stations;
            const int arrival = start + s * 2;
            const int departure = arrival + (s % 5 == 2 ? 1 : 0);
            const int n = std::snprintf(
                line, sizeof line, "r%d_t%d,%02d:%02d:00,%02d:%02d:00,s%d,%d\r\n", route, trip,
                arrival / 60, arrival % 60, departure / 60, departure % 60, station, s + 1);
            out.append(line, static_cast<std::size_t>(n));
        }
    }
    void Count() {
        std::string text = "trip_id,arrival_time,departure_time,stop_id,stop_sequence\r\n";
        size_ = text.size();
        for (int r = 0; r < shape_.Routes; ++r)
            for (int t = 0; t < shape_.TripsPerRoute; ++t) {
                text.clear();
                AppendTrip(text, r, t);
                size_ += text.size();
                rows_ += static_cast<std::size_t>(shape_.StopsPerRoute);
            }
    }

    TFeedShape shape_;
    std::uint64_t size_ = 0;
    std::size_t rows_ = 0;
    int route_ = 0, trip_ = 0, stop_ = 0;
    bool header_ = false;
    std::string pending_;
    std::size_t at_ = 0;
};

} // namespace

TFeedShape ShapeForRows(std::size_t rows) {
    TFeedShape shape;
    shape.TripsPerRoute = std::max(
        2, static_cast<int>(rows / static_cast<std::size_t>(shape.Routes * shape.StopsPerRoute)));
    return shape;
}

std::size_t WriteGeneratedFeed(const std::string &zipPath, const TFeedShape &shape) {
    std::string agency = "agency_id,agency_name,agency_url,agency_timezone\r\n"
                         "1,Generated,https://example.org,Europe/Berlin\r\n";
    std::string stops = "stop_id,stop_name,stop_lat,stop_lon\r\n";
    char line[160];
    for (int s = 0; s < shape.Stations; ++s) {
        const int n = std::snprintf(line, sizeof line, "s%d,Station %d,%.6f,%.6f\r\n", s, s,
                                    50.0 + (s / 100) * 0.01, 8.0 + (s % 100) * 0.01);
        stops.append(line, static_cast<std::size_t>(n));
    }
    std::string routes = "route_id,route_short_name,route_type\r\n";
    std::string trips = "route_id,service_id,trip_id,direction_id\r\n";
    for (int r = 0; r < shape.Routes; ++r) {
        routes += "r" + std::to_string(r) + "," + std::to_string(r + 1) + ",3\r\n";
        for (int t = 0; t < shape.TripsPerRoute; ++t)
            trips += "r" + std::to_string(r) + "," + (t % 4 < 2 ? "WK" : "WE") + ",r" +
                     std::to_string(r) + "_t" + std::to_string(t) + "," + std::to_string(t % 2) +
                     "\r\n";
    }
    const std::string calendar =
        "service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,"
        "end_date\r\nWK,1,1,1,1,1,0,0,20260101,20261231\r\nWE,0,0,0,0,0,1,1,20260101,20261231\r\n";
    TStopTimesStream stopTimes(shape);
    const std::vector<gtfs::TZipEntry> entries = {
        {"agency.txt", agency, nullptr},     {"stops.txt", stops, nullptr},
        {"routes.txt", routes, nullptr},     {"trips.txt", trips, nullptr},
        {"calendar.txt", calendar, nullptr}, {"stop_times.txt", {}, &stopTimes}};
    gtfs::WriteZipFile(zipPath, entries);
    return stopTimes.Rows();
}

} // namespace takton::bench
