#pragma once

// Finding elements in HTML text and laying out one table as a grid of cells.
// A character scanner with small state machines, not an HTML parser: no tree,
// no entity decoding, no whitespace normalisation, no row or column spans.
// The web copy window relies on exactly how it treats odd input (quotes between
// tags hide tags, comments only after "!--" and a blank or ">", names ended by
// a line break, unclosed cells, nested tables).
//
// Text is 8-bit (cp1252). Positions count from 1; 0 stands for "none". Every
// operation runs in time linear in the length of the text it is given.

#include "core/util/string_grid.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace takton {

// A tag as the scanner accepts it: Start is the position of its "<", End that
// of the ">" that ends it, Name the name read after the "<", lower-cased.
struct THtmlTag {
    std::string Name;
    std::size_t Start = 0;
    std::size_t End = 0;
};

// An element: Start is its opening tag's start, Next the position after the
// end of its closing tag. Start is 0 when there is none.
struct THtmlElement {
    std::size_t Start = 0;
    std::size_t Next = 0;
};

// The next tag from position start on, scanning from outside any tag. Double
// quotes between tags hide what stands between them; a "<!--" followed by a
// blank or ">" opens a comment that runs to the next "-->".
std::optional<THtmlTag> ScanNextTag(std::string_view text, std::size_t start);

// Refills items from one tag's text (its "<" to its ">"): first "tagname=" and
// the lower-cased name, then one lower-cased item per attribute ("name=value"
// or "name"). A tag text without a name gives an empty list.
void ParseTagText(std::string_view tagText, std::vector<std::string> &items);

// The next tag from start on, parsed into items. Gives the tag's start and sets
// next to the position after it; gives 0 and leaves items and next alone when
// there is no further tag.
std::size_t ParseNextTag(std::string_view text, std::size_t start, std::vector<std::string> &items,
                         std::size_t &next);

// The first tag from start on whose name equals name without regard to case.
std::optional<THtmlTag> FindTag(std::string_view text, std::size_t start, std::string_view name);

// From an opening tag named name to the first following tag "/" + name;
// nesting is not counted.
THtmlElement FindElement(std::string_view text, std::size_t start, std::string_view name);

// The text without every stretch from a "<" to the first ">" after it. A "<"
// without a later ">" and everything after it stay, as does every other ">".
std::string StripTags(std::string_view text);

// The width of a text in the grid's font (pixels for the editor, characters
// for the command line).
using TTextWidthFn = std::function<int(std::string_view)>;

// Lays the table out in grid: one row per "tr" tag, one cell per cell closed by
// "/td" or "/th" in that row, shorter rows filled with empty cells. With
// fitColumns, columns too narrow for one of their texts are widened to it
// (measured by textWidth); otherwise widths stay as they are.
// A table of more than kMaxTableCells cells (rows times columns) raises
// TaktonError and leaves the grid as it was.
inline constexpr std::size_t kMaxTableCells = 2'000'000;
void HtmlTableToGrid(std::string_view tableText, TStringGrid &grid, bool fitColumns,
                     const TTextWidthFn &textWidth = {});

// Widens every column too narrow for one of its texts to that text's width;
// never narrows one.
void FitColumnWidths(TStringGrid &grid, const TTextWidthFn &textWidth);

// A table element of a page with the shape HtmlTableToGrid would give it.
struct THtmlTableShape {
    std::string_view Text; // from its "<table" to the end of its "</table>"
    std::size_t Rows = 1;  // grid rows and columns (at least one each)
    std::size_t Cols = 1;
    std::size_t Cells = 0;       // cells closed inside a row
    std::size_t MarkedCells = 0; // of those, the ones whose source mark accepts
};
using TCellMarkFn = bool (*)(std::string_view cellSource);

// Every table element of the page in source order, as FindElement for "table"
// finds them one after the other, measured in the same pass over the tags.
// mark, if given, sees the source of every cell (between its tags).
std::vector<THtmlTableShape> MeasureTables(std::string_view page, TCellMarkFn mark = nullptr);

} // namespace takton
