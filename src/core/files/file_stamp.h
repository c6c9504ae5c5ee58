#pragma once

// What a file looked like when a window read it, to tell before writing it
// back whether somebody else changed it meanwhile.

#include <cstdint>
#include <string>

namespace takton {

struct TFileStamp {
    bool Exists = false;
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0; // modification time, nanoseconds
    std::int64_t TakenNs = 0;    // when the stamp was taken
    std::uint32_t Crc = 0;       // of the content, when the time alone may mislead
    bool HasCrc = false;
};

// The file's stamp now.
TFileStamp StampFile(const std::string &path);

// True when the file is still as stamped: gone when it was gone, otherwise of
// the same size and modification time. When the modification time lies so
// close to the stamp that a change in the same clock tick would not show, the
// content's checksum decides.
bool UnchangedSince(const std::string &path, const TFileStamp &stamp);

} // namespace takton
