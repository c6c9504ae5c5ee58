#pragma once

// Names of a feed (UTF-8) made into names Takton stores (cp1252): characters
// outside the code page transliterated, characters the name rules refuse
// replaced visibly.

#include <memory>
#include <string>
#include <string_view>

namespace takton::gtfs {

class TNameMaker {
  public:
    TNameMaker();
    ~TNameMaker();
    // The name as a station may carry it; empty when nothing is left of it.
    std::string StationName(std::string_view utf8);
    // The name as a line may carry it (it also names a file).
    std::string LineName(std::string_view utf8);
    // Any text in cp1252, transliterated where needed.
    std::string Text(std::string_view utf8);

  private:
    struct TIcu;
    std::unique_ptr<TIcu> icu_;
};

} // namespace takton::gtfs
