#include "core/layout/page_layout.h"

#include <algorithm>

namespace takton::print {

std::vector<int> ColumnSliceStarts(const std::vector<double> &widths, double available) {
    std::vector<int> starts;
    double used = 0;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        if (starts.empty() || used + widths[c] > available) {
            starts.push_back(static_cast<int>(c));
            used = 0;
        }
        used += widths[c];
    }
    return starts;
}

std::vector<TTablePage> LayoutTablePages(int rows, const std::vector<double> &colWidths,
                                         double availableWidth, int rowsPerPage) {
    rowsPerPage = std::max(1, rowsPerPage);
    std::vector<int> starts = ColumnSliceStarts(colWidths, availableWidth);
    const int cols = static_cast<int>(colWidths.size());
    if (starts.empty())
        starts.push_back(0);
    std::vector<TTablePage> pages;
    for (std::size_t s = 0; s < starts.size(); ++s) {
        const int end = s + 1 < starts.size() ? starts[s + 1] : cols;
        int first = 0;
        do {
            const int count = std::min(rowsPerPage, rows - first);
            pages.push_back({first, std::max(0, count), starts[s], end - starts[s]});
            first += rowsPerPage;
        } while (first < rows);
    }
    return pages;
}

} // namespace takton::print
