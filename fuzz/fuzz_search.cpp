// The connection index on any timetable file: no crash, no sanitizer report,
// no hang; every journey found rides forward in time and changes where it
// arrived.

#include "core/search/connection_scan.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace takton;
using namespace takton::search;

namespace {

const std::string &Folder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "takton-fuzz-XXXXXX");
        std::string dir = ::mkdtemp(pattern.data());
        std::ofstream(dir + "/lines.csv", std::ios::binary) << "F\r\n";
        return dir;
    }();
    return folder;
}

void Check(const TJourney &journey) {
    for (std::size_t i = 0; i < journey.Legs.size(); ++i) {
        const TLeg &leg = journey.Legs[i];
        if (leg.Arrival < leg.Departure)
            __builtin_trap();
        if (i > 0 &&
            (leg.From != journey.Legs[i - 1].To || leg.Departure < journey.Legs[i - 1].Arrival))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string &dir = Folder();
    std::ofstream(dir + "/line_F.ttd", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    const auto index = TConnectionIndex::Build(dir, ServiceDayOfGroup("G"), 2);
    const auto stations = static_cast<std::uint32_t>(index.StationCount());
    TConnectionScan scan(index);
    for (std::uint32_t from = 0; from < stations && from < 4; ++from)
        for (std::uint32_t to = 0; to < stations && to < 4; ++to) {
            if (from == to)
                continue;
            for (const auto &journey : scan.ParetoDepart(from, to, 0))
                Check(journey);
            for (const auto &journey : scan.ParetoArrive(from, to, 2000))
                Check(journey);
            (void)scan.EarliestArrival(from, to, 300);
        }
    return 0;
}
