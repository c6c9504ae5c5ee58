#include "core/util/clipboard_text.h"

namespace takton {
namespace {

std::string Quoted(std::string_view cell) {
    std::string out = "\"";
    for (const char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

} // namespace

TTextBlock ParseTabText(std::string_view text) {
    TTextBlock rows;
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false;
    bool cellStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"')
                cell += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                cell += text[++i];
            else
                quoted = false;
            continue;
        }
        if (c == '"' && cellStart) {
            quoted = true;
            cellStart = false;
        } else if (c == '\t') {
            row.push_back(std::move(cell));
            cell.clear();
            cellStart = true;
        } else if (c == '\n') {
            row.push_back(std::move(cell));
            rows.push_back(std::move(row));
            row.clear();
            cell.clear();
            cellStart = true;
        } else if (c != '\r') {
            cell += c;
            cellStart = false;
        }
    }
    if (!cell.empty() || !row.empty()) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string TabTextCell(std::string_view cell) {
    if (cell.find_first_of("\"\t\n") == std::string_view::npos)
        return std::string(cell);
    return Quoted(cell);
}

std::string GridBlockTabText(const TStringGrid &grid, const TGridRect &rect) {
    std::string text;
    for (int row = rect.Top; row <= rect.Bottom; ++row) {
        for (int col = rect.Left; col <= rect.Right; ++col) {
            if (col > rect.Left)
                text += '\t';
            text += TabTextCell(grid.Cell(col, row));
        }
        text += '\n';
    }
    return text;
}

std::string CsvField(std::string_view cell) {
    std::string field;
    AppendCsvField(field, cell);
    return field;
}

void AppendCsvField(std::string &out, std::string_view cell) {
    if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += cell;
        return;
    }
    out += Quoted(cell);
}

std::string GridCsvText(const TStringGrid &grid) {
    std::string csv;
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int col = 0; col < grid.ColCount(); ++col) {
            if (col > 0)
                csv += ',';
            csv += CsvField(grid.Cell(col, row));
        }
        csv += "\r\n";
    }
    return csv;
}

} // namespace takton
