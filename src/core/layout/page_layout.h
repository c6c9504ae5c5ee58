#pragma once

// Where the parts of a table go when it does not fit one page: slices of
// columns across, slices of rows down; the station column is on every page.

#include <vector>

namespace takton::print {

struct TTablePage {
    int FirstRow = 0;
    int RowCount = 0;
    int FirstCol = 0;
    int ColCount = 0;
};

// Consecutive columns as wide as fit the available width, at least one each;
// the first index of every slice.
std::vector<int> ColumnSliceStarts(const std::vector<double> &widths, double available);

// The pages of a table of rows x columns: each column slice with all its row
// slices before the next column slice. A table without columns gets its rows.
std::vector<TTablePage> LayoutTablePages(int rows, const std::vector<double> &colWidths,
                                         double availableWidth, int rowsPerPage);

} // namespace takton::print
