#include "core/files/file_sys.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace takton {
namespace {

TFileFault &Fault() {
    static TFileFault fault;
    return fault;
}

// True when the step is to fail; errno is then set.
bool Injected(TFileStep step) {
    if (!Fault())
        return false;
    const int error = Fault()(step);
    if (error == 0)
        return false;
    errno = error;
    return true;
}

} // namespace

void SetFileFault(TFileFault fault) {
    Fault() = std::move(fault);
}

namespace sys {

int Open(const char *path, int flags, mode_t mode) {
    if (Injected(TFileStep::Open))
        return -1;
    return ::open(path, flags | O_CLOEXEC, mode);
}

int MakeTemp(char *pattern) {
    if (Injected(TFileStep::Open))
        return -1;
    return ::mkostemp(pattern, O_CLOEXEC);
}

bool WriteAll(int fd, std::string_view content) {
    if (Injected(TFileStep::Write))
        return false;
    const char *data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

int Fsync(int fd) {
    if (Injected(TFileStep::Sync))
        return -1;
    return ::fsync(fd);
}

int Syncfs(int fd) {
    if (Injected(TFileStep::Sync))
        return -1;
    return ::syncfs(fd);
}

int Rename(const char *from, const char *to) {
    if (Injected(TFileStep::Rename))
        return -1;
    return ::rename(from, to);
}

int RenameNoReplace(const char *from, const char *to) {
    if (Injected(TFileStep::Rename))
        return -1;
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // File systems without RENAME_NOREPLACE: check first, then rename.
    if (::access(to, F_OK) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

int Unlink(const char *path) {
    if (Injected(TFileStep::Rename))
        return -1;
    return ::unlink(path);
}

int SyncDirectory(const std::string &dir) {
    const int fd = Open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return -1;
    const int result = Fsync(fd);
    ::close(fd);
    return result;
}

} // namespace sys
} // namespace takton
