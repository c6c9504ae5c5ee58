#pragma once

// A zip file of in-memory files, written crash-safe: the archive goes to a
// temporary file in the target's folder, is flushed and renamed over the
// target, so the target holds its old or its new content, never a part.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace takton::gtfs {

// Bytes made while the archive is written, so a large file never lies in
// memory whole.
class TZipStream {
  public:
    virtual ~TZipStream() = default;
    // Exactly as many bytes as all Reads after a Rewind give.
    virtual std::uint64_t Size() const = 0;
    // Back to the first byte; called before the first Read, and again when
    // the archive reads the stream once more.
    virtual void Rewind() = 0;
    // Fills out with up to size next bytes; how many, 0 at the end.
    virtual std::size_t Read(char *out, std::size_t size) = 0;
};

struct TZipEntry {
    std::string Name;
    std::string_view Bytes;       // must live until WriteZipFile returns
    TZipStream *Stream = nullptr; // when set, the bytes come from it instead
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
