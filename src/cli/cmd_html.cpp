// takton-cli html-table ...: the table of a saved web page that the web copy
// window would choose for a timetable, laid out as its grid and printed as CSV;
// or the list of the page's tables to choose from.

#include "cli/cli_context.h"
#include "core/files/file_io.h"
#include "core/model/timetable_grid.h"
#include "core/util/clipboard_text.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"
#include "core/util/string_grid.h"
#include "core/webcopy/table_choice.h"

#include <charconv>

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

// "--table N": N counts the page's tables from 1, as the list shows them.
int TableIndexOption(CliContext &ctx) {
    const std::string text = ctx.TakeOption("--table");
    if (text.empty())
        return -1;
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 1)
        throw UsageError("--table braucht die Nummer einer Tabelle (ab 1)");
    return number - 1;
}

int HtmlTable(CliContext &ctx) {
    const std::string encoding = ctx.TakeOption("--encoding");
    if (!encoding.empty() && encoding != "cp1252" && encoding != "utf-8")
        throw UsageError("--encoding kennt nur cp1252 und utf-8");
    const bool list = ctx.TakeFlag("--list");
    const int wanted = TableIndexOption(ctx);
    // Without stations only a list or a table given by number makes sense.
    ctx.ExpectArgs(list || wanted >= 0 ? 1 : 2);

    const std::string path = ctx.PathArg(0);
    const auto bytes = ReadWholeFile(path);
    if (!bytes)
        return ctx.Refuse("Datei " + PathForMessage(path) + " nicht gefunden");
    const std::string page = PageAsCp1252(*bytes, encoding == "cp1252");
    const std::vector<std::string> stations(ctx.Args().begin() + 1, ctx.Args().end());

    TStringGrid grid(1, 1, 0, 0);
    const TWebTablePage taken = TakeWebTable(
        page, kStationsHeading, stations, grid,
        [](std::string_view text) { return static_cast<int>(text.size()); }, wanted);
    if (list) {
        bool any = false;
        for (std::size_t i = 0; i < taken.Tables.size(); ++i)
            if (taken.Tables[i].Cells > 0) {
                ctx.PrintLine(TableListText(taken.Tables[i], static_cast<int>(i)));
                any = true;
            }
        return any ? kExitOk : ctx.Refuse("Keine Tabelle mit Zellen gefunden");
    }
    if (taken.Chosen < 0)
        return wanted >= 0 ? ctx.Refuse("Keine Tabelle " + std::to_string(wanted + 1) +
                                        " mit Zellen auf der Seite")
                           : ctx.Refuse("Keine passende Tabelle gefunden");
    ctx.PrintRaw(Cp1252ToUtf8(GridCsvText(grid)));
    return kExitOk;
}

constexpr CliCommand kCommands[] = {
    {"html-table", "", "[--encoding cp1252] [--list] [--table N] PAGE.html STATION...", HtmlTable},
};

} // namespace

std::span<const CliCommand> HtmlCommands() {
    return kCommands;
}

} // namespace takton::cli
