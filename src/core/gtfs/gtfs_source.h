#pragma once

// The tables of a feed read straight from its zip file (inflated in chunks)
// or from a folder of .txt files, each as a stream of CSV records whose
// columns are found by their header names, in any order.

#include "core/util/csv_reader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace takton::gtfs {

class TFeedSource {
  public:
    // Opens a zip file or a folder; raises TaktonError (German) when it is
    // neither or cannot be read.
    explicit TFeedSource(const std::string &path);
    ~TFeedSource();
    TFeedSource(const TFeedSource &) = delete;
    TFeedSource &operator=(const TFeedSource &) = delete;

    // The feed's files (names as in the zip, folders inside left out).
    const std::vector<std::string> &Files() const { return files_; }
    bool Has(std::string_view file) const;
    // The uncompressed size of a file, 0 when missing.
    std::uint64_t SizeOf(std::string_view file) const;
    // A chunked reader of the file's bytes; null when the feed lacks it.
    // Counts the bytes read into *read when given.
    TCsvSource Open(std::string_view file, std::uint64_t *read = nullptr) const;

  private:
    struct TZip;
    std::string path_;
    std::unique_ptr<TZip> zip_;
    std::vector<std::string> files_;
    std::vector<std::uint64_t> sizes_;
};

// A table of the feed: records with their fields found by column name.
class TFeedTable {
  public:
    TFeedTable(const TFeedSource &feed, std::string_view file, std::uint64_t *read = nullptr);
    bool Exists() const { return reader_ != nullptr; }
    // The column's index, or -1 when the header lacks it.
    int Column(std::string_view name) const;
    bool Next() { return reader_ && reader_->Next(); }
    std::string_view Get(int column) const {
        return column < 0 ? std::string_view() : reader_->Field(static_cast<std::size_t>(column));
    }
    std::size_t Line() const { return reader_->Line(); }

  private:
    std::unique_ptr<TCsvReader> reader_;
    std::vector<std::string> header_;
};

} // namespace takton::gtfs
