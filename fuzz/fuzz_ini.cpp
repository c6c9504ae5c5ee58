// Reading INI text on any bytes: no crash, no sanitizer report, no hang; every
// section and key that is listed can be read, and writing keeps the others.

#include "core/model/ini_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace takton;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    TIniFile ini = TIniFile::FromText(text);
    for (const auto &section : ini.ReadSections()) {
        (void)ini.SectionHasKeys(section);
        (void)ini.ReadSectionValues(section);
        for (const auto &key : ini.ReadSectionKeys(section)) {
            (void)ini.ReadString(section, key, "");
            (void)ini.ReadInteger(section, key, 0);
            (void)ini.ValueExists(section, key);
        }
    }
    ini.WriteString("Fuzz", "key", "value");
    if (ini.ReadString("Fuzz", "key", "") != "value")
        __builtin_trap();
    (void)TIniFile::FromText(ini.Text()).ReadSections();
    ini.EraseSection("Fuzz");
    return 0;
}
