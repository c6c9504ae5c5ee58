#pragma once

// The printed documents written as files: the timetable table, the departure
// poster and the graphical timetable. No Qt in this header, so that the
// command-line tool can use it; every write is crash-safe and a failure
// raises TaktonError. Paths are native, texts cp1252.

#include "core/layout/graph.h"
#include "core/layout/poster.h"
#include "core/layout/print_timetable.h"

#include <memory>
#include <string>
#include <vector>

namespace takton::print {

// One PDF of A4 landscape pages; each timetable starts on a page of its own.
void WriteTimetablePdf(const std::string &path, const std::vector<TPrintTimetable> &tables,
                       const std::string &validity);
// One PDF of A4 portrait pages.
void WritePosterPdf(const std::string &path, const TPoster &poster, const std::string &validity);
// PNG, SVG or PDF by the path's extension (any other extension is refused).
void WriteGraphFile(const std::string &path, const TGraph &graph);

// A Qt GUI application on the offscreen platform for a program without a
// window system (takton-cli); nothing when one runs already.
class TOffscreenGui {
  public:
    TOffscreenGui();
    ~TOffscreenGui();
    TOffscreenGui(const TOffscreenGui &) = delete;
    TOffscreenGui &operator=(const TOffscreenGui &) = delete;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace takton::print
