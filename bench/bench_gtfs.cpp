// The feed export of a generated project against its floor: zipping the same
// CSV bytes alone, at the same deflate level, in the same run.
//
//   bench_gtfs           2,000 stations, 300 lines, 20 journeys a section
//   bench_gtfs JOURNEYS  the same with JOURNEYS a section (200: ~10 million
//                        stop_times rows)

#include "core/gtfs/gtfs_export.h"
#include "core/gtfs/gtfs_zip.h"
#include "support/feed_project.h"
#include "support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <zip.h>

using namespace takton;
using namespace takton::testing;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::map<std::string, std::string> Unzip(const std::string &path) {
    std::map<std::string, std::string> files;
    int error = 0;
    zip_t *archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        std::exit(1);
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        std::string bytes(stat.size, '\0');
        zip_file_t *file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        files[stat.name] = std::move(bytes);
    }
    zip_discard(archive);
    return files;
}

} // namespace

int main(int argc, char **argv) {
    TFeedProjectSize size;
    size.Journeys = argc > 1 ? std::atoi(argv[1]) : 20;
    TempDir dir;
    auto start = std::chrono::steady_clock::now();
    WriteFeedProject(dir.Path(), size);
    std::printf("bench_gtfs: %d stations, %d lines, %d stops a line, %d journeys a section; "
                "project generated in %.2f s\n",
                size.Stations, size.Lines, size.StopsPerLine, size.Journeys, SecondsSince(start));

    start = std::chrono::steady_clock::now();
    const auto report = gtfs::ExportGtfs(dir.Path(), FeedProjectParams(), dir.File("feed.zip"));
    const double exportSeconds = SecondsSince(start);
    const auto zipBytes = static_cast<double>(std::filesystem::file_size(dir.File("feed.zip")));

    const auto files = Unzip(dir.File("feed.zip"));
    std::vector<gtfs::TZipEntry> entries;
    double csvBytes = 0;
    for (const auto &[name, bytes] : files) {
        entries.push_back({name, bytes});
        csvBytes += static_cast<double>(bytes.size());
    }
    start = std::chrono::steady_clock::now();
    gtfs::WriteZipFile(dir.File("floor.zip"), entries);
    const double floorSeconds = SecondsSince(start);

    std::printf("  %zu trips, %zu stop_times rows, %.1f MB CSV, %.1f MB zip\n", report.Trips,
                report.StopTimes, csvBytes / 1e6, zipBytes / 1e6);
    std::printf("  export        %7.2f s  %7.1f MB/s zip  %7.1f MB/s CSV\n", exportSeconds,
                zipBytes / exportSeconds / 1e6, csvBytes / exportSeconds / 1e6);
    std::printf("  zip alone     %7.2f s  %7.1f MB/s zip  %7.1f MB/s CSV (the floor)\n",
                floorSeconds, zipBytes / floorSeconds / 1e6, csvBytes / floorSeconds / 1e6);
    std::printf("  export / floor %.2fx (goal at most 1.5x)\n", exportSeconds / floorSeconds);
    return 0;
}
