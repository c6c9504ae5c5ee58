#include "core/webcopy/html_table.h"

#include "core/util/counted.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace takton {
namespace {

// A tag found by the scanner, by 0-based index: '<' at start, '>' at end, the
// name as read (not yet lower-cased) at [nameBegin, nameBegin + nameLength).
struct RawTag {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t nameBegin = 0;
    std::size_t nameLength = 0;
};

std::size_t FindChar(std::string_view text, std::size_t from, char c) {
    if (from >= text.size())
        return std::string_view::npos;
    const void *hit = std::memchr(text.data() + from, c, text.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char *>(hit) - text.data())
               : std::string_view::npos;
}

// Outside tags only "<" and the double quote act.
std::size_t FindTextStop(std::string_view text, std::size_t from) {
    const char *p = text.data() + from;
    const char *const end = text.data() + text.size();
    while (p < end && *p != '<' && *p != '"')
        ++p;
    return p < end ? static_cast<std::size_t>(p - text.data()) : std::string_view::npos;
}

// Asked for every tag: a length test first, no string compare.
bool IsCommentName(std::string_view text, const RawTag &tag) {
    const char *const name = text.data() + tag.nameBegin;
    return tag.nameLength == 3 && name[0] == '!' && name[1] == '-' && name[2] == '-';
}

// The scanner's state machine from index from on, starting outside any tag.
// Each state only waits for the few characters that leave it, so the stretches
// in between are skipped in tight loops or with memchr.
[[gnu::always_inline]] inline bool ScanRaw(std::string_view text, std::size_t from, RawTag &tag) {
    const std::size_t n = text.size();
    if (from >= n)
        return false;
    std::size_t i = from;
    for (;;) {
        // Text: a double quote starts a quoted stretch, "<" a tag.
        i = FindTextStop(text, i);
        if (i == std::string_view::npos)
            return false;
        if (text[i] == '"') {
            i = FindChar(text, i + 1, '"');
            if (i == std::string_view::npos)
                return false;
            ++i;
            continue;
        }
        tag.start = i++;

        // Open: blanks, quotes, apostrophes and further "<" are passed over;
        // ">" ends an empty tag, which is no tag.
        while (i < n && (text[i] == '<' || text[i] == '"' || text[i] == ' ' || text[i] == '\''))
            ++i;
        if (i == n)
            return false;
        if (text[i] == '>') {
            ++i;
            continue;
        }

        // Name: runs to the next blank or ">"; line breaks and tabs belong to it.
        tag.nameBegin = i;
        while (i < n && text[i] != ' ' && text[i] != '>')
            ++i;
        if (i == n)
            return false;
        tag.nameLength = i - tag.nameBegin;
        if (IsCommentName(text, tag)) {
            // Comment: ends at the first "-->" after the name.
            for (;;) {
                i = FindChar(text, i + 1, '>');
                if (i == std::string_view::npos)
                    return false;
                if (text[i - 1] == '-' && text[i - 2] == '-')
                    break;
            }
            ++i;
            continue;
        }
        if (text[i] != '>') {
            // Attributes: quotes protect nothing, the first ">" ends the tag.
            i = FindChar(text, i + 1, '>');
            if (i == std::string_view::npos)
                return false;
        }
        tag.end = i;
        return true;
    }
}

bool EqualsFolded(std::string_view text, std::string_view folded) {
    if (text.size() != folded.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (FoldCase(text[i]) != folded[i])
            return false;
    return true;
}

std::size_t ToIndex(std::size_t position) {
    return position == 0 ? 0 : position - 1;
}

THtmlTag ToTag(std::string_view text, const RawTag &raw) {
    return {FoldCase(text.substr(raw.nameBegin, raw.nameLength)), raw.start + 1, raw.end + 1};
}

std::optional<RawTag> FindRaw(std::string_view text, std::size_t from, std::string_view folded) {
    RawTag tag;
    while (ScanRaw(text, from, tag)) {
        if (EqualsFolded(text.substr(tag.nameBegin, tag.nameLength), folded))
            return tag;
        from = tag.end + 1;
    }
    return std::nullopt;
}

bool IsNameStart(char c) {
    return c != ' ' && c != '"' && c != '\'' && c != '=';
}

// The inside of a tag text: without its first and last character.
std::string_view TagInside(std::string_view tagText) {
    return tagText.size() < 2 ? std::string_view() : tagText.substr(1, tagText.size() - 2);
}

// The name as the tag parser reads it, not lower-cased: from the first name
// character to the next blank; npos as begin when there is none.
std::string_view ParsedTagName(std::string_view inside, std::size_t &after) {
    std::size_t begin = 0;
    while (begin < inside.size() && !IsNameStart(inside[begin]))
        ++begin;
    if (begin == inside.size()) {
        after = begin;
        return {};
    }
    std::size_t end = inside.find(' ', begin);
    if (end == std::string_view::npos)
        end = inside.size();
    after = end;
    return inside.substr(begin, end - begin);
}

enum class TableTag { Other, Row, RowEnd, Cell, CellEnd };

// Folding outside ASCII never gives an ASCII letter, so for the ASCII names
// of table tags this is FoldCase.
char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// What a tag of this name means to the table layout: "tr", "td", "th" and
// their ends, in any letter case.
TableTag ClassifyTagName(std::string_view name) {
    const std::size_t n = name.size();
    if (n < 2 || n > 3)
        return TableTag::Other;
    const bool end = n == 3;
    if ((end && name[0] != '/') || FoldAscii(name[n - 2]) != 't')
        return TableTag::Other;
    const char last = FoldAscii(name[n - 1]);
    if (last == 'r')
        return end ? TableTag::RowEnd : TableTag::Row;
    if (last == 'd' || last == 'h')
        return end ? TableTag::CellEnd : TableTag::Cell;
    return TableTag::Other;
}

// What a tag means to the table layout: the value of the first item that the
// tag parser would give, without building the list.
TableTag ClassifyTableTag(std::string_view tagText) {
    std::size_t after = 0;
    return ClassifyTagName(ParsedTagName(TagInside(tagText), after));
}

// ClassifyTableTag for a tag the scanner found. When the name follows the "<"
// directly (and is no "=", which the parser passes over), the parser reads
// the same name: most tags need no parsing.
TableTag ClassifyRawTag(std::string_view text, const RawTag &tag) {
    if (tag.nameBegin == tag.start + 1 && text[tag.nameBegin] != '=')
        return ClassifyTagName(text.substr(tag.nameBegin, tag.nameLength));
    return ClassifyTableTag(text.substr(tag.start, tag.end - tag.start + 1));
}

} // namespace

std::optional<THtmlTag> ScanNextTag(std::string_view text, std::size_t start) {
    RawTag raw;
    if (!ScanRaw(text, ToIndex(start), raw))
        return std::nullopt;
    return ToTag(text, raw);
}

void ParseTagText(std::string_view tagText, std::vector<std::string> &items) {
    items.clear();
    const std::string_view inside = TagInside(tagText);
    std::size_t i = 0;
    const std::string_view name = ParsedTagName(inside, i);
    if (name.empty())
        return;
    items.push_back("tagname=" + FoldCase(name));

    const std::size_t n = inside.size();
    auto skipBlanks = [&] {
        while (i < n && inside[i] == ' ')
            ++i;
    };
    for (;;) {
        skipBlanks();
        if (i == n)
            break;
        const std::size_t nameBegin = i;
        while (i < n && inside[i] != ' ' && inside[i] != '=')
            ++i;
        std::string item(inside.substr(nameBegin, i - nameBegin));
        const std::size_t afterName = i;
        skipBlanks();
        if (i < n && inside[i] == '=') {
            ++i;
            skipBlanks();
            item += '=';
            if (i < n && (inside[i] == '"' || inside[i] == '\'')) {
                const char quote = inside[i++];
                std::size_t close = inside.find(quote, i);
                if (close == std::string_view::npos)
                    close = n;
                item += inside.substr(i, close - i);
                i = std::min(close + 1, n);
            } else {
                const std::size_t valueBegin = i;
                while (i < n && inside[i] != ' ')
                    ++i;
                item += inside.substr(valueBegin, i - valueBegin);
            }
        } else {
            i = afterName;
        }
        items.push_back(FoldCase(item));
    }
}

std::size_t ParseNextTag(std::string_view text, std::size_t start, std::vector<std::string> &items,
                         std::size_t &next) {
    RawTag raw;
    if (!ScanRaw(text, ToIndex(start), raw))
        return 0;
    ParseTagText(text.substr(raw.start, raw.end - raw.start + 1), items);
    next = raw.end + 2;
    return raw.start + 1;
}

std::optional<THtmlTag> FindTag(std::string_view text, std::size_t start, std::string_view name) {
    const auto raw = FindRaw(text, ToIndex(start), FoldCase(name));
    if (!raw)
        return std::nullopt;
    return ToTag(text, *raw);
}

THtmlElement FindElement(std::string_view text, std::size_t start, std::string_view name) {
    const std::string folded = FoldCase(name);
    const auto open = FindRaw(text, ToIndex(start), folded);
    if (!open)
        return {};
    const auto close = FindRaw(text, open->end + 1, "/" + folded);
    if (!close)
        return {};
    return {open->start + 1, close->end + 2};
}

// Removing the first tag stretch and starting again from the beginning would
// find nothing before the removed stretch, so one pass from left to right
// gives the same text.
std::string StripTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = FindChar(text, pos, '<');
        const std::size_t close = open == std::string_view::npos ? open : FindChar(text, open, '>');
        if (close == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, open - pos));
        pos = close + 1;
    }
}

void HtmlTableToGrid(std::string_view tableText, TStringGrid &grid, bool fitColumns,
                     const TTextWidthFn &textWidth) {
    // Rows are gathered ragged and made rectangular once at the end, which
    // gives the same grid as widening every row whenever a column is added.
    std::vector<std::vector<std::string>> rows;
    std::vector<int> textWidths; // the widest text of each column
    const bool measure = fitColumns && static_cast<bool>(textWidth);
    std::size_t columnCount = 0;
    bool inRow = false;
    bool inCell = false;
    std::size_t cellStart = 0;

    RawTag tag;
    for (std::size_t pos = 0; ScanRaw(tableText, pos, tag); pos = tag.end + 1) {
        const std::size_t next = tag.end + 1;
        switch (ClassifyRawTag(tableText, tag)) {
        case TableTag::Row:
            inRow = true;
            rows.emplace_back();
            break;
        case TableTag::RowEnd:
            inRow = false;
            break;
        case TableTag::Cell:
            if (inRow) {
                inCell = true;
                cellStart = next;
            }
            break;
        case TableTag::CellEnd:
            if (inCell) {
                inCell = false;
                auto &row = rows.back();
                row.push_back(StripTags(tableText.substr(cellStart, tag.start - cellStart)));
                columnCount = std::max(columnCount, row.size());
                if (measure) {
                    const std::size_t col = row.size() - 1;
                    if (textWidths.size() <= col)
                        textWidths.resize(col + 1, 0);
                    textWidths[col] = std::max(textWidths[col], textWidth(row.back()));
                }
            }
            break;
        case TableTag::Other:
            break;
        }
    }

    // Rows times columns can grow with the square of the text's length; a
    // table far beyond any timetable is refused before the grid is touched.
    const std::size_t rowCount = std::max<std::size_t>(1, rows.size());
    const std::size_t colCount = std::max<std::size_t>(1, columnCount);
    if (rowCount * colCount > kMaxTableCells)
        throw TaktonError(Cp1252("Die Tabelle ist mit ") + Counted(rowCount, "Zeile", "Zeilen") +
                          " und " + Counted(colCount, "Spalte", "Spalten") +
                          Cp1252(" zu groß für das Arbeitsraster."));

    grid.SetColCount(1);
    grid.SetRowCount(1);
    grid.SetCell(0, 0, std::string());
    grid.SetColCount(static_cast<int>(colCount));
    grid.SetRowCount(static_cast<int>(rowCount));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto &cells = grid.RowCells(static_cast<int>(r));
        std::move(rows[r].begin(), rows[r].end(), cells.begin());
    }
    for (std::size_t col = 0; col < textWidths.size(); ++col) {
        const int c = static_cast<int>(col);
        if (textWidths[col] > grid.ColWidth(c))
            grid.SetColWidth(c, textWidths[col]);
    }
}

void FitColumnWidths(TStringGrid &grid, const TTextWidthFn &textWidth) {
    std::vector<int> widths(static_cast<std::size_t>(grid.ColCount()), 0);
    for (int row = 0; row < grid.RowCount(); ++row) {
        const auto &cells = grid.RowCells(row);
        for (std::size_t col = 0; col < cells.size(); ++col)
            if (!cells[col].empty())
                widths[col] = std::max(widths[col], textWidth(cells[col]));
    }
    for (std::size_t col = 0; col < widths.size(); ++col) {
        const int c = static_cast<int>(col);
        if (widths[col] > grid.ColWidth(c))
            grid.SetColWidth(c, widths[col]);
    }
}

namespace {

// What a tag means to the walk over a page's tables. "table" and "/table" go
// by the scanner's name (as FindElement finds them); such a tag is Other to
// the layout whatever the tag parser would read.
enum class WalkTag { Other, Table, TableEnd, Row, RowEnd, Cell, CellEnd };

WalkTag ToWalkTag(TableTag layout) {
    switch (layout) {
    case TableTag::Row:
        return WalkTag::Row;
    case TableTag::RowEnd:
        return WalkTag::RowEnd;
    case TableTag::Cell:
        return WalkTag::Cell;
    case TableTag::CellEnd:
        return WalkTag::CellEnd;
    case TableTag::Other:
        break;
    }
    return WalkTag::Other;
}

WalkTag TableBoundary(std::string_view name) {
    if (name.size() == 5 && EqualsFolded(name, "table"))
        return WalkTag::Table;
    if (name.size() == 6 && EqualsFolded(name, "/table"))
        return WalkTag::TableEnd;
    return WalkTag::Other;
}

// Two bytes of a name as one number, each with bit 5 set: among the names
// compared with it that folds exactly their letters ("T" and "t" both give
// "t", no other byte does).
std::uint16_t FoldedPair(const char *p) {
    std::uint16_t pair = 0;
    std::memcpy(&pair, p, sizeof pair);
    return pair | 0x2020;
}

constexpr std::uint16_t kTr = std::bit_cast<std::uint16_t>(std::array{'t', 'r'});
constexpr std::uint16_t kTd = std::bit_cast<std::uint16_t>(std::array{'t', 'd'});
constexpr std::uint16_t kTh = std::bit_cast<std::uint16_t>(std::array{'t', 'h'});

// A name right after the "<" (almost every tag) is told by its length and at
// most two loads; one that starts with "=", or comes after blanks or quotes,
// goes through the tag parser's reading of it, as HtmlTableToGrid does.
WalkTag ClassifyWalkTag(std::string_view page, const RawTag &tag) {
    const char *const name = page.data() + tag.nameBegin;
    if (tag.nameBegin == tag.start + 1 && name[0] != '=') {
        switch (tag.nameLength) {
        case 2: {
            const std::uint16_t pair = FoldedPair(name);
            if (pair == kTd || pair == kTh)
                return WalkTag::Cell;
            return pair == kTr ? WalkTag::Row : WalkTag::Other;
        }
        case 3: {
            if (name[0] != '/')
                return WalkTag::Other;
            const std::uint16_t pair = FoldedPair(name + 1);
            if (pair == kTd || pair == kTh)
                return WalkTag::CellEnd;
            return pair == kTr ? WalkTag::RowEnd : WalkTag::Other;
        }
        case 5:
        case 6:
            return TableBoundary({name, tag.nameLength});
        default:
            return WalkTag::Other;
        }
    }
    const WalkTag layout =
        ToWalkTag(ClassifyTableTag(page.substr(tag.start, tag.end - tag.start + 1)));
    return layout != WalkTag::Other ? layout : TableBoundary({name, tag.nameLength});
}

} // namespace

// FindElement's search for "table", then for "/table", run as one walk over
// the tags; between the two, the tags drive HtmlTableToGrid's row and cell
// states without building any text.
std::vector<THtmlTableShape> MeasureTables(std::string_view page, TCellMarkFn mark) {
    std::vector<THtmlTableShape> tables;
    bool inTable = false;
    std::size_t tableStart = 0;
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::size_t rowCells = 0;
    std::size_t cells = 0;
    std::size_t marked = 0;
    bool inRow = false;
    bool inCell = false;
    std::size_t cellStart = 0;

    RawTag tag;
    for (std::size_t pos = 0; ScanRaw(page, pos, tag); pos = tag.end + 1) {
        const WalkTag kind = ClassifyWalkTag(page, tag);
        if (!inTable) {
            if (kind != WalkTag::Table)
                continue;
            inTable = true;
            tableStart = tag.start;
            rows = cols = rowCells = cells = marked = 0;
            inRow = inCell = false;
            continue;
        }
        switch (kind) {
        case WalkTag::Row:
            inRow = true;
            ++rows;
            rowCells = 0;
            break;
        case WalkTag::RowEnd:
            inRow = false;
            break;
        case WalkTag::Cell:
            if (inRow) {
                inCell = true;
                cellStart = tag.end + 1;
            }
            break;
        case WalkTag::CellEnd:
            if (inCell) {
                inCell = false;
                cols = std::max(cols, ++rowCells);
                ++cells;
                // Added, not branched on: time cells and others often alternate.
                if (mark)
                    marked += mark({page.data() + cellStart, tag.start - cellStart}) ? 1u : 0u;
            }
            break;
        case WalkTag::TableEnd:
            inTable = false;
            tables.push_back({page.substr(tableStart, tag.end + 1 - tableStart),
                              std::max<std::size_t>(rows, 1), std::max<std::size_t>(cols, 1), cells,
                              marked});
            break;
        case WalkTag::Table:
        case WalkTag::Other:
            break;
        }
    }
    return tables;
}

} // namespace takton
