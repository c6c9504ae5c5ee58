#pragma once

// A zip file of in-memory files, written crash-safe: the archive goes to a
// temporary file in the target's folder, is flushed and renamed over the
// target, so the target holds its old or its new content, never a part.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace takton::gtfs {

struct TZipEntry {
    std::string Name;
    std::string_view Bytes; // must live until WriteZipFile returns
};

// Deflate's fastest level: a feed is written often and read by machines.
inline constexpr int kZipLevel = 1;

// Asked now and then while compressing; false cancels.
using TZipGoOn = std::function<bool(double fraction)>;

// False when cancelled (no file left behind, the old target whole). A write
// that fails raises TaktonError "In <path> kann nicht geschrieben werden".
bool WriteZipFile(const std::string &path, const std::vector<TZipEntry> &entries,
                  const TZipGoOn &goOn = {}, int level = kZipLevel);

} // namespace takton::gtfs
