#pragma once

// Reading a written feed back: the files of a zip and the rows of its CSV
// tables, by column name.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace takton::testing {

// Every file of the zip by name; fails the test when the zip cannot be read.
std::map<std::string, std::string> ReadZip(const std::string &path);

struct TCsvTable {
    std::vector<std::string> Header;
    std::vector<std::vector<std::string>> Rows;
    bool WellFormed = true; // quotes closed, every row as wide as the header
    // The field of a row by column name; empty when there is no such column.
    std::string Get(std::size_t row, const std::string &column) const;
    bool Has(const std::string &column) const;
};

// RFC 4180: quoted fields, doubled quotes, CR LF or LF line ends.
TCsvTable ParseCsv(const std::string &text);

// Every broken rule of the GTFS reference that applies to the files written;
// empty for a valid feed.
std::vector<std::string> ValidateFeed(const std::map<std::string, std::string> &files);

// The dates ("JJJJMMTT") of each service as a feed reader gives them from
// calendar.txt and calendar_dates.txt. Fails the test where an exception adds
// a date the service has already or removes one it does not have.
std::map<std::string, std::set<std::string>>
ServiceDates(const std::map<std::string, std::string> &files);

} // namespace takton::testing
