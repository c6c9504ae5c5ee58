// The station data CSV reader on any bytes: no crash, no sanitizer report, no
// hang; a refused header is a TaktonError and nothing else.

#include "core/model/station_data.h"
#include "core/model/station_import.h"
#include "core/util/error.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace takton;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    (void)IsValidUtf8(bytes);
    try {
        const TStationCsv csv = ReadStationCsv(bytes);
        for (const TStationCsvRow &row : csv.Rows) {
            if (row.Name.empty())
                __builtin_trap();
            TStationData station;
            (void)ApplyStationDataInput({true, row.Lat, row.Lon, true, row.Zone, true, row.Ring},
                                        station);
            (void)ParseStationDataValue(StationDataValue(station));
        }
    } catch (const TaktonError &) {
    }
    return 0;
}
