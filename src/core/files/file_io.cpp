#include "core/files/file_io.h"

#include "core/files/file_sys.h"
#include "core/files/write_batch.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace takton {
namespace {

TWriteRefusal &Refusal() {
    static TWriteRefusal refusal;
    return refusal;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string ProjectPath(const std::string &dir, std::string_view fileNameCp1252) {
    std::string path = dir;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + Cp1252ToUtf8(fileNameCp1252);
}

std::string DirectoryOf(const std::string &path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool FileExists(const std::string &path) {
    if (TBatchState *batch = batch::For(path))
        if (const auto planned = batch::Exists(*batch, path))
            return *planned;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> ReadWholeFile(const std::string &path) {
    if (TBatchState *batch = batch::For(path))
        if (auto planned = batch::Read(*batch, path))
            return std::move(*planned);
    return sys::ReadWhole(path);
}

std::optional<std::string> sys::ReadWhole(const std::string &path) {
    const int fd = sys::Open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        throw TaktonError(Cp1252("Datei ") + PathForMessage(path) +
                          Cp1252(" kann nicht geöffnet werden"));
    }
    // Read straight into the string: a cascade reads megabytes, and a
    // buffer in between would copy every byte twice.
    std::string content;
    struct stat st {};
    std::size_t size = 0;
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        size = static_cast<std::size_t>(st.st_size);
    content.resize(size + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size())
            content.resize(content.size() * 2);
        const ssize_t n = ::read(fd, content.data() + filled, content.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            throw TaktonError("Datei " + PathForMessage(path) + " kann nicht gelesen werden");
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    content.resize(filled);
    ::close(fd);
    return content;
}

void ThrowCannotWrite(const std::string &path) {
    throw TaktonError("In " + PathForMessage(path) + " kann nicht geschrieben werden");
}

void CheckWritableTarget(const std::string &path) {
    struct stat old {};
    // A target without any write bit counts as read-only, also for root.
    if (::stat(path.c_str(), &old) == 0 && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0))
        ThrowCannotWrite(path);
}

int OpenTempFileBeside(const std::string &path, std::string &temp) {
    const std::string pattern = DirectoryOf(path) + "/.takton-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = sys::MakeTemp(name.data());
    if (fd < 0)
        ThrowCannotWrite(path);
    temp = name.data();
    return fd;
}

std::string MakeTempFileBeside(const std::string &path) {
    std::string temp;
    ::close(OpenTempFileBeside(path, temp));
    return temp;
}

void ReplaceWithTempFile(const std::string &temp, const std::string &path) {
    if (Refusal() && Refusal()(path))
        ::unlink(temp.c_str());
    CheckWriteAllowed(path);
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    const int fd = sys::Open(temp.c_str(), O_RDONLY);
    bool ok = fd >= 0 && ::fchmod(fd, mode) == 0 && sys::Fsync(fd) == 0;
    if (fd >= 0)
        ok = ::close(fd) == 0 && ok;
    if (!ok || sys::Rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        ThrowCannotWrite(path);
    }
}

void SetWriteRefusal(TWriteRefusal refusal) {
    Refusal() = std::move(refusal);
}

void CheckWriteAllowed(const std::string &path) {
    if (Refusal())
        if (auto message = Refusal()(path))
            throw TaktonError(*message);
}

void WriteWholeFile(const std::string &path, std::string_view content) {
    CheckWriteAllowed(path);
    if (TBatchState *batch = batch::For(path))
        return batch::Write(*batch, path, content);
    CheckWritableTarget(path);
    std::string temp;
    const int fd = OpenTempFileBeside(path, temp);
    const bool written = sys::WriteAll(fd, content);
    if (::close(fd) != 0 || !written) {
        ::unlink(temp.c_str());
        ThrowCannotWrite(path);
    }
    ReplaceWithTempFile(temp, path);
}

bool RemoveFile(const std::string &path) {
    CheckWriteAllowed(path);
    if (TBatchState *batch = batch::For(path))
        return batch::Remove(*batch, path);
    return sys::Unlink(path.c_str()) == 0;
}

bool RenameFileNoReplace(const std::string &from, const std::string &to) {
    CheckWriteAllowed(from);
    CheckWriteAllowed(to);
    if (TBatchState *batch = batch::For(from); batch && batch::For(to) == batch)
        return batch::RenameNoReplace(*batch, from, to);
    return sys::RenameNoReplace(from.c_str(), to.c_str()) == 0;
}

std::string PathForMessage(const std::string &path) {
    return Utf8ToCp1252Lossy(path);
}

} // namespace takton
