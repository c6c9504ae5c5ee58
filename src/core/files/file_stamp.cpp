#include "core/files/file_stamp.h"

#include "core/files/file_sys.h"
#include "core/files/write_batch.h"

#include <ctime>
#include <sys/stat.h>

namespace takton {
namespace {

// File systems keep modification times in ticks of up to a few milliseconds
// (seconds on some); a change within this span of reading may keep the time.
constexpr std::int64_t kDoubtNs = 2'000'000'000;

std::int64_t Ns(const timespec &time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::int64_t NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Ns(now);
}

std::optional<std::uint32_t> ContentCrc(const std::string &path) {
    const auto content = sys::ReadWhole(path);
    if (!content)
        return std::nullopt;
    return Crc32(*content);
}

} // namespace

TFileStamp StampFile(const std::string &path) {
    TFileStamp stamp;
    stamp.TakenNs = NowNs();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return stamp;
    stamp.Exists = true;
    stamp.Size = static_cast<std::uint64_t>(st.st_size);
    stamp.ModifiedNs = Ns(st.st_mtim);
    if (stamp.TakenNs - stamp.ModifiedNs < kDoubtNs)
        if (const auto crc = ContentCrc(path)) {
            stamp.Crc = *crc;
            stamp.HasCrc = true;
        }
    return stamp;
}

bool UnchangedSince(const std::string &path, const TFileStamp &stamp) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return !stamp.Exists;
    if (!stamp.Exists || static_cast<std::uint64_t>(st.st_size) != stamp.Size ||
        Ns(st.st_mtim) != stamp.ModifiedNs)
        return false;
    if (!stamp.HasCrc)
        return true;
    const auto crc = ContentCrc(path);
    return crc && *crc == stamp.Crc;
}

} // namespace takton
