#pragma once

// The text pieces of a feed: readable ASCII ids, CSV fields, times and dates.

#include "core/util/clipboard_text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace takton::gtfs {

// A readable id from a cp1252 name: letters transliterated to ASCII ("Gänse"
// becomes "gaense", "ß" "ss"), lower case, every other run of characters one
// "-"; never empty and never holding "_" (ids are joined with it).
std::string ReadableId(std::string_view nameCp1252);

// Gives every name an id of its own: ReadableId, with "-2", "-3", ... when
// that is taken already.
class TIdSet {
  public:
    std::string Take(std::string_view nameCp1252);

  private:
    std::unordered_set<std::string> taken_;
};

// CSV fields are written by util/clipboard_text's AppendCsvField (RFC 4180).
using takton::AppendCsvField;

// Appends "HH:MM:SS" for minutes after the service day's midnight; hours go
// past 24 ("24:10:00").
void AppendGtfsTime(std::string &out, int minutes);
// The same written at out (GtfsTimeLength bytes); the end.
char *WriteGtfsTime(char *out, int minutes);
std::size_t GtfsTimeLength(int minutes);

// A number in decimal written at out (DecimalLength bytes); the end.
char *WriteDecimal(char *out, std::uint64_t number);
std::size_t DecimalLength(std::uint64_t number);

// "YYYYMMDD" naming a real day.
bool IsGtfsDate(std::string_view text);

} // namespace takton::gtfs
