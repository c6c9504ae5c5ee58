#include "gtfs/gtfs_zip.h"

#include "util/error.h"
#include "util/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace takton::gtfs {
namespace {

[[noreturn]] void ThrowCannotWrite(const std::string &path) {
    throw TaktonError("In " + PathForMessage(path) + " kann nicht geschrieben werden");
}

// A fresh empty file beside the target; its name.
std::string MakeTempBeside(const std::string &path) {
    std::string temp = DirectoryOf(path) + "/.takton-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        ThrowCannotWrite(path);
    ::close(fd);
    return name.data();
}

struct TCancelState {
    const TZipGoOn *goOn = nullptr;
    double fraction = 0;
    bool cancelled = false;
};

void OnProgress(zip_t *, double fraction, void *state) {
    static_cast<TCancelState *>(state)->fraction = fraction;
}

int OnCancel(zip_t *, void *state) {
    auto *s = static_cast<TCancelState *>(state);
    if (!s->cancelled && !(*s->goOn)(s->fraction))
        s->cancelled = true;
    return s->cancelled ? 1 : 0;
}

bool AddEntries(zip_t *archive, const std::vector<TZipEntry> &entries, int level) {
    for (const auto &entry : entries) {
        zip_source_t *source =
            zip_source_buffer(archive, entry.Bytes.data(), entry.Bytes.size(), 0);
        if (!source)
            return false;
        const zip_int64_t index =
            zip_file_add(archive, entry.Name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                     static_cast<zip_uint32_t>(level)) != 0)
            return false;
    }
    return true;
}

bool SyncFile(const std::string &path, mode_t mode) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

mode_t TargetMode(const std::string &path) {
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool WriteZipFile(const std::string &path, const std::vector<TZipEntry> &entries,
                  const TZipGoOn &goOn, int level) {
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0))
        ThrowCannotWrite(path);
    const std::string temp = MakeTempBeside(path);
    int error = 0;
    zip_t *archive = zip_open(temp.c_str(), ZIP_TRUNCATE, &error);
    if (!archive) {
        ::unlink(temp.c_str());
        ThrowCannotWrite(path);
    }
    TCancelState state{&goOn};
    if (goOn) {
        zip_register_progress_callback_with_state(archive, 0.01, OnProgress, nullptr, &state);
        zip_register_cancel_callback_with_state(archive, OnCancel, nullptr, &state);
    }
    if (!AddEntries(archive, entries, level)) {
        zip_discard(archive);
        ::unlink(temp.c_str());
        ThrowCannotWrite(path);
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        ::unlink(temp.c_str());
        if (state.cancelled)
            return false;
        ThrowCannotWrite(path);
    }
    if (!SyncFile(temp, TargetMode(path)) || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        ThrowCannotWrite(path);
    }
    return true;
}

} // namespace takton::gtfs
