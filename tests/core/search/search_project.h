#pragma once

// Small projects for the connection search, written as the editor writes
// them: stations.csv, lines.csv and one timetable file per line.

#include "support/temp_dir.h"

#include <map>
#include <string>
#include <vector>

namespace takton::testing {

class SearchProject {
  public:
    // Rows of one timetable section: "Station,07:00,,07:30", ...
    using Rows = std::vector<std::string>;

    void Station(const std::string &name) { stations_.push_back(name); }
    // Section "direction_group" of the line's file; marks as the file keeps
    // them ("footnotes=,S", "nights=2") after the rows.
    void Timetable(const std::string &line, const std::string &section, const Rows &rows,
                   const std::vector<std::string> &marks = {}) {
        if (!files_.contains(line))
            lines_.push_back(line);
        std::string &text = files_[line];
        text += "[" + section + "]\r\n";
        for (std::size_t k = 0; k < rows.size(); ++k)
            text += std::to_string(k + 1) + "=" + rows[k] + "\r\n";
        for (const auto &mark : marks)
            text += mark + "\r\n";
    }
    void Write() const {
        std::string stations, lines;
        for (const auto &name : stations_)
            stations += name + "\r\n";
        for (const auto &name : lines_)
            lines += name + "\r\n";
        dir_.Write("stations.csv", stations);
        dir_.Write("lines.csv", lines);
        for (const auto &[line, text] : files_)
            dir_.Write("line_" + line + ".ttd", text);
    }
    const std::string &Dir() const { return dir_.Path(); }
    const TempDir &Folder() const { return dir_; }

  private:
    TempDir dir_;
    std::vector<std::string> stations_, lines_;
    std::map<std::string, std::string> files_;
};

} // namespace takton::testing
