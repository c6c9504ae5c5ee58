#include "core/gtfs/gtfs_source.h"

#include "core/files/file_io.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <zip.h>

namespace takton::gtfs {

struct TFeedSource::TZip {
    zip_t *Archive = nullptr;
    ~TZip() {
        if (Archive)
            zip_discard(Archive);
    }
};

namespace {

std::string CannotRead(const std::string &path) {
    return Cp1252("Der GTFS-Feed ") + PathForMessage(path) +
           Cp1252(" kann nicht gelesen werden (weder eine Zip-Datei noch ein Ordner mit "
                  ".txt-Dateien).");
}

// The part of a zip entry's name after its last "/": feeds zipped with their
// folder keep the tables one level down.
std::string_view BaseName(std::string_view name) {
    const std::size_t slash = name.find_last_of('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

} // namespace

TFeedSource::TFeedSource(const std::string &path) : path_(path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        for (const auto &entry : std::filesystem::directory_iterator(path, error)) {
            if (!entry.is_regular_file(error))
                continue;
            files_.push_back(entry.path().filename().string());
            sizes_.push_back(entry.file_size(error));
        }
        return;
    }
    int code = 0;
    zip_t *archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive)
        throw TaktonError(CannotRead(path));
    zip_ = std::make_unique<TZip>();
    zip_->Archive = archive;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0 ||
            !(stat.valid & ZIP_STAT_NAME))
            continue;
        std::string_view name(stat.name);
        if (name.empty() || name.back() == '/')
            continue;
        files_.push_back(std::string(BaseName(name)));
        sizes_.push_back((stat.valid & ZIP_STAT_SIZE) ? stat.size : 0);
    }
}

TFeedSource::~TFeedSource() = default;

bool TFeedSource::Has(std::string_view file) const {
    return std::find(files_.begin(), files_.end(), file) != files_.end();
}

std::uint64_t TFeedSource::SizeOf(std::string_view file) const {
    const auto at = std::find(files_.begin(), files_.end(), file);
    return at == files_.end() ? 0 : sizes_[static_cast<std::size_t>(at - files_.begin())];
}

TCsvSource TFeedSource::Open(std::string_view file, std::uint64_t *read) const {
    if (!Has(file))
        return {};
    if (!zip_) {
        const std::string full = (std::filesystem::path(path_) / std::string(file)).string();
        std::shared_ptr<std::FILE> handle(std::fopen(full.c_str(), "rb"), [](std::FILE *f) {
            if (f)
                std::fclose(f);
        });
        if (!handle)
            throw TaktonError(CannotRead(full));
        return [handle, read, full](char *buffer, std::size_t size) -> std::size_t {
            const std::size_t n = std::fread(buffer, 1, size, handle.get());
            if (n == 0 && std::ferror(handle.get()))
                throw TaktonError(CannotRead(full));
            if (read)
                *read += n;
            return n;
        };
    }
    // The entry whose base name is the file.
    zip_int64_t index = -1;
    const zip_int64_t count = zip_get_num_entries(zip_->Archive, 0);
    for (zip_int64_t i = 0; i < count && index < 0; ++i) {
        const char *name = zip_get_name(zip_->Archive, static_cast<zip_uint64_t>(i), 0);
        if (name && BaseName(name) == file)
            index = i;
    }
    zip_file_t *opened =
        index < 0 ? nullptr : zip_fopen_index(zip_->Archive, static_cast<zip_uint64_t>(index), 0);
    if (!opened)
        throw TaktonError(CannotRead(path_));
    std::shared_ptr<zip_file_t> entry(opened, [](zip_file_t *f) { zip_fclose(f); });
    const std::string path = path_;
    return [entry, read, path](char *buffer, std::size_t size) -> std::size_t {
        const zip_int64_t n = zip_fread(entry.get(), buffer, size);
        if (n < 0)
            throw TaktonError(CannotRead(path));
        if (read)
            *read += static_cast<std::uint64_t>(n);
        return static_cast<std::size_t>(n);
    };
}

TFeedTable::TFeedTable(const TFeedSource &feed, std::string_view file, std::uint64_t *read) {
    TCsvSource source = feed.Open(file, read);
    if (!source)
        return;
    reader_ = std::make_unique<TCsvReader>(std::move(source));
    if (!reader_->Next()) {
        reader_.reset();
        return;
    }
    for (std::size_t i = 0; i < reader_->Size(); ++i) {
        std::string_view name = reader_->Field(i);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        header_.emplace_back(name);
    }
}

int TFeedTable::Column(std::string_view name) const {
    const auto at = std::find(header_.begin(), header_.end(), name);
    return at == header_.end() ? -1 : static_cast<int>(at - header_.begin());
}

} // namespace takton::gtfs
