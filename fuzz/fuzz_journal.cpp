// Completing an interrupted batch from any journal text: no crash, no
// sanitizer report, nothing touched outside the folder, and afterwards
// neither a journal nor a temporary file is left. The input is the journal's
// body; its end line with the right checksum is added, so that the entries
// themselves are read.

#include "core/files/write_batch.h"
#include "core/util/error.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace takton;
namespace fs = std::filesystem;

namespace {

void Put(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const fs::path &Root() {
    static const fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "takton-fuzz-XXXXXX").string();
        return fs::path(::mkdtemp(pattern.data()));
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const fs::path dir = Root() / "p";
    const fs::path outside = Root() / "draussen.csv";
    fs::remove_all(dir);
    fs::create_directory(dir);
    Put(outside, "bleibt");
    Put(dir / "a.csv", "a");
    Put(dir / ".takton-Ab12Cd", "neu");

    std::string journal = "takton-journal 1\n";
    journal.append(reinterpret_cast<const char *>(data), size);
    if (journal.back() != '\n')
        journal += '\n';
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", Crc32(journal));
    Put(dir / ".takton.journal", journal + "end\t" + crc + "\n");

    try {
        RecoverInterruptedWrites(dir.string());
    } catch (const TaktonError &) {
        return 0; // a step the system refused: reported, the journal kept
    }
    if (fs::exists(dir / ".takton.journal") || fs::exists(dir / ".takton-Ab12Cd"))
        __builtin_trap();
    if (!fs::exists(outside) || fs::file_size(outside) != 6)
        __builtin_trap();
    return 0;
}
