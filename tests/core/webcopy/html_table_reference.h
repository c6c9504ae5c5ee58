#pragma once

// The HTML rules written out the slow, literal way, as a yardstick for the
// one-pass code in tests and fuzz targets.

#include "core/util/cp1252.h"
#include "core/util/string_grid.h"
#include "core/webcopy/html_table.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace takton::reference {

// The scanner's state table, one character at a time.
inline std::optional<THtmlTag> ScanCharByChar(std::string_view text, std::size_t start) {
    enum { Text, Quoted, Open, Name, Attributes, Comment } state = Text;
    THtmlTag tag;
    std::size_t nameStart = 0;
    auto takeName = [&](std::size_t i) {
        return std::string(text.substr(nameStart, i - nameStart));
    };
    for (std::size_t i = start == 0 ? 0 : start - 1; i < text.size(); ++i) {
        const char c = text[i];
        switch (state) {
        case Text:
            if (c == '<') {
                state = Open;
                tag.Start = i + 1;
            } else if (c == '"') {
                state = Quoted;
            }
            break;
        case Quoted:
            if (c == '"')
                state = Text;
            break;
        case Open:
            if (c == '>') {
                state = Text;
            } else if (c != '<' && c != '"' && c != ' ' && c != '\'') {
                state = Name;
                nameStart = i;
            }
            break;
        case Name:
            if (c == '>' || c == ' ') {
                const std::string name = takeName(i);
                if (name == "!--") {
                    state = Comment;
                } else if (c == '>') {
                    for (char &ch : tag.Name = name)
                        ch = FoldCase(ch);
                    tag.End = i + 1;
                    return tag;
                } else {
                    for (char &ch : tag.Name = name)
                        ch = FoldCase(ch);
                    state = Attributes;
                }
            }
            break;
        case Attributes:
            if (c == '>') {
                tag.End = i + 1;
                return tag;
            }
            break;
        case Comment:
            if (c == '>' && i >= 2 && text.substr(i - 2, 3) == "-->")
                state = Text;
            break;
        }
    }
    return std::nullopt;
}

// The removal exactly as it reads: take out the first "<"..">" stretch and
// start again from the beginning.
inline std::string StripTagsByRestarting(std::string text) {
    for (;;) {
        const auto open = text.find('<');
        if (open == std::string::npos)
            return text;
        const auto close = text.find('>', open);
        if (close == std::string::npos)
            return text;
        text.erase(open, close - open + 1);
    }
}

// The layout step by step on the grid, as the web copy window's rules read.
inline void TableToGridStepByStep(std::string_view text, TStringGrid &grid, bool fit,
                                  const TTextWidthFn &width) {
    grid.SetColCount(1);
    grid.SetRowCount(1);
    grid.SetCell(0, 0, "");
    int row = -1;
    int col = -1;
    bool inRow = false;
    bool inCell = false;
    std::size_t cellStart = 0;
    std::vector<std::string> items;
    std::size_t position = 1;
    std::size_t next = 0;
    for (std::size_t start; (start = ParseNextTag(text, position, items, next)) != 0;
         position = next) {
        if (items.empty())
            continue;
        const std::string name = items[0].substr(items[0].find('=') + 1);
        if (name == "tr") {
            inRow = true;
            ++row;
            grid.SetRowCount(row + 1);
            for (int c = 0; c < grid.ColCount(); ++c)
                grid.SetCell(c, row, "");
            col = -1;
        } else if (name == "/tr") {
            inRow = false;
        } else if ((name == "td" || name == "th") && inRow) {
            inCell = true;
            cellStart = next;
        } else if ((name == "/td" || name == "/th") && inCell) {
            inCell = false;
            ++col;
            if (col >= grid.ColCount()) {
                grid.SetColCount(col + 1);
                for (int r = 0; r < grid.RowCount(); ++r)
                    grid.SetCell(col, r, "");
            }
            const std::string cell =
                StripTags(text.substr(cellStart - 1, start - 1 - (cellStart - 1)));
            grid.SetCell(col, row, cell);
            if (fit && width(cell) > grid.ColWidth(col))
                grid.SetColWidth(col, width(cell));
        }
    }
}

// Scores by one find per name.
inline std::vector<int> ScoreByOneSearchPerName(const std::vector<std::string_view> &tables,
                                                const std::vector<std::string> &names) {
    std::vector<int> scores;
    for (const auto table : tables) {
        int score = 0;
        for (const auto &name : names)
            if (!name.empty() && table.find(name) != std::string_view::npos)
                ++score;
        scores.push_back(score);
    }
    return scores;
}

} // namespace takton::reference
