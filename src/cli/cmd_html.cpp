// takton-cli html-table ...: the table of a saved web page that the web copy
// window would choose for a timetable, laid out as its grid and printed as CSV.

#include "cli/cli_context.h"
#include "model/timetable_grid.h"
#include "util/cp1252.h"
#include "util/error.h"
#include "util/file_io.h"
#include "util/kv_html.h"
#include "util/kv_standard.h"
#include "util/table_choice.h"

namespace takton::cli {
namespace {

// The page as the browser copy gives it: 8-bit text in which characters that
// cp1252 cannot hold have become "?".
std::string PageAsCp1252(const std::string &bytes, bool isCp1252) {
    if (isCp1252)
        return bytes;
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::string_view utf8 = bytes;
    if (utf8.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        utf8.remove_prefix(kByteOrderMark.size());
    return Utf8ToCp1252Lossy(utf8);
}

// RFC 4180: a field with a comma, a double quote or a line break is quoted,
// its double quotes doubled.
std::string CsvField(const std::string &utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos)
        return utf8;
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

int HtmlTable(CliContext &ctx) {
    const std::string encoding = ctx.TakeOption("--encoding");
    if (!encoding.empty() && encoding != "cp1252" && encoding != "utf-8")
        throw UsageError("--encoding kennt nur cp1252 und utf-8");
    ctx.ExpectArgs(2);

    const std::string path = ctx.PathArg(0);
    const auto bytes = ReadWholeFile(path);
    if (!bytes)
        return ctx.Refuse("Datei " + PathForMessage(path) + " nicht gefunden");
    const std::string page = PageAsCp1252(*bytes, encoding == "cp1252");

    // The web copy window scores the station column from the header row on,
    // whose text is "Stationen".
    std::vector<std::string> names{kStationsHeading};
    names.insert(names.end(), ctx.Args().begin() + 1, ctx.Args().end());
    const TTableChoice choice = ChooseTable(page, names);
    if (choice.Index < 0)
        return ctx.Refuse("Keine passende Tabelle gefunden");

    TStringGrid grid(1, 1, 0, 0);
    HtmlTableToGrid(choice.Text, grid, true,
                    [](std::string_view text) { return static_cast<int>(text.size()); });
    std::string csv;
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int col = 0; col < grid.ColCount(); ++col) {
            if (col > 0)
                csv += ',';
            csv += CsvField(Cp1252ToUtf8(grid.Cell(col, row)));
        }
        csv += "\r\n";
    }
    ctx.PrintRaw(csv);
    return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"html-table", "", "[--encoding cp1252] PAGE.html STATION...", HtmlTable},
};

} // namespace

std::span<const CliCommand> HtmlCommands() {
    return kCommands;
}

} // namespace takton::cli
