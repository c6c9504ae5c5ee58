#include "core/gtfs/gtfs_zip.h"

#include "core/files/file_io.h"
#include "core/util/error.h"

#include <ctime>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace takton::gtfs {
namespace {

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

struct TStreamSource {
    TZipStream *Stream;
    std::time_t Time;
    std::uint64_t Given = 0;
    zip_error_t Error;
};

zip_int64_t Failed(TStreamSource &source, int code) {
    zip_error_set(&source.Error, code, 0);
    return -1;
}

// The archive's reader of a TZipStream. Nothing may be thrown through it.
zip_int64_t ReadStream(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command) {
    auto &source = *static_cast<TStreamSource *>(state);
    try {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            source.Stream->Rewind();
            source.Given = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const std::size_t n = source.Stream->Read(static_cast<char *>(data), length);
            source.Given += n;
            // A stream that breaks its size would make a corrupt archive.
            if (source.Given > source.Stream->Size() ||
                (n == 0 && length > 0 && source.Given != source.Stream->Size()))
                return Failed(source, ZIP_ER_INCONS);
            return static_cast<zip_int64_t>(n);
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &source.Error);
            if (!stat)
                return -1;
            zip_stat_init(stat);
            stat->size = source.Stream->Size();
            stat->mtime = source.Time;
            stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&source.Error, data, length);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&source.Error);
            delete &source;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                  ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            return Failed(source, ZIP_ER_OPNOTSUPP);
        }
    } catch (...) {
        return Failed(source, ZIP_ER_INTERNAL);
    }
}

zip_source_t *StreamSource(zip_t *archive, TZipStream *stream) {
    auto *state = new TStreamSource{stream, std::time(nullptr), 0, {}};
    zip_error_init(&state->Error);
    zip_source_t *source = zip_source_function(archive, ReadStream, state);
    if (!source) {
        zip_error_fini(&state->Error);
        delete state;
    }
    return source;
}

bool AddEntries(zip_t *archive, const std::vector<TZipEntry> &entries, int level) {
    for (const auto &entry : entries) {
        zip_source_t *source =
            entry.Stream ? StreamSource(archive, entry.Stream)
                         : zip_source_buffer(archive, entry.Bytes.data(), entry.Bytes.size(), 0);
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

} // namespace

bool WriteZipFile(const std::string &path, const std::vector<TZipEntry> &entries,
                  const TZipGoOn &goOn, int level) {
    CheckWritableTarget(path);
    const std::string temp = MakeTempFileBeside(path);
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
    ReplaceWithTempFile(temp, path);
    return true;
}

} // namespace takton::gtfs
