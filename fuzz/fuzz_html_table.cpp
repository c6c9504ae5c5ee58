// The HTML functions and the table choice on any bytes: no crash, no
// sanitizer report, no hang, and the one-pass code gives what the literal
// rules give. Input: the page, then optionally a NUL and station names
// separated by NULs.

#include "core/util/string_grid.h"
#include "core/webcopy/html_table.h"
#include "core/webcopy/html_table_reference.h"
#include "core/webcopy/html_text.h"
#include "core/webcopy/table_choice.h"
#include "core/webcopy/web_time.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace takton;
using namespace takton::reference;

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

int Width(std::string_view text) {
    return static_cast<int>(text.size()) * 3;
}

void CheckTags(std::string_view page) {
    std::vector<std::string> items;
    std::size_t position = 1;
    for (;;) {
        const auto tag = ScanNextTag(page, position);
        const auto literal = ScanCharByChar(page, position);
        Require(tag.has_value() == literal.has_value());
        std::size_t next = 0;
        const std::size_t parsed = ParseNextTag(page, position, items, next);
        if (!tag) {
            Require(parsed == 0);
            return;
        }
        Require(tag->Name == literal->Name && tag->Start == literal->Start &&
                tag->End == literal->End);
        Require(parsed == tag->Start && next == tag->End + 1);
        Require(tag->Start >= position && tag->End > tag->Start && tag->End <= page.size());
        Require(items.empty() || items[0].rfind("tagname=", 0) == 0);
        const auto found = FindTag(page, position, tag->Name);
        Require(found && found->Start == tag->Start);
        position = tag->End + 1;
    }
}

void CheckTable(std::string_view page) {
    Require(StripTags(page) == StripTagsByRestarting(std::string(page)));
    TStringGrid fast(3, 2, 0, 0);
    TStringGrid literal(3, 2, 0, 0);
    HtmlTableToGrid(page, fast, true, Width);
    TableToGridStepByStep(page, literal, true, Width);
    Require(fast.RowCount() == literal.RowCount() && fast.ColCount() == literal.ColCount());
    for (int c = 0; c < fast.ColCount(); ++c) {
        Require(fast.ColWidth(c) == literal.ColWidth(c));
        for (int r = 0; r < fast.RowCount(); ++r)
            Require(fast.Cell(c, r) == literal.Cell(c, r));
    }
}

// A reference is never shorter than what it stands for; a trimmed cell has
// no blank at either end; a time becomes "HH:MM"; without tags and
// references the cell scan sees a time exactly where the parser does.
void CheckCellTexts(std::string_view page) {
    Require(DecodeHtmlReferences(page).size() <= page.size());
    const std::string cell = WebCellText(page);
    Require(cell.empty() || (!IsCellBlank(cell.front()) && !IsCellBlank(cell.back())));
    const std::string time = TimetableTimeText(page);
    Require(time == page || (time.size() == 5 && time[2] == ':'));
    if (page.find_first_of("<&") == std::string_view::npos)
        Require(IsTimeLikeHtmlCell(page) == ParseWebTime(page).has_value());
    (void)IsHtmlText(page);
}

void CheckChoice(std::string_view page, const std::vector<std::string> &names) {
    const auto tables = CutTables(page);
    const auto survey = SurveyTables(page, names);
    Require(survey.size() == tables.size());
    for (std::size_t i = 0; i < survey.size(); ++i) {
        Require(survey[i].Text == tables[i]);
        TStringGrid grid(1, 1, 0, 0);
        HtmlTableToGrid(survey[i].Text, grid, false);
        Require(survey[i].Rows == grid.RowCount() && survey[i].Cols == grid.ColCount());
        Require(survey[i].Times <= survey[i].Cells);
    }
    for (const auto table : tables) {
        Require(table.size() >= 2 && table.front() == '<' && table.back() == '>');
        Require(table.data() >= page.data() &&
                table.data() + table.size() <= page.data() + page.size());
    }
    const auto scores = ScoreTables(tables, names);
    Require(scores == ScoreByOneSearchPerName(tables, names));
    const TTableChoice choice = ChooseTable(page, names);
    if (choice.Index >= 0)
        Require(choice.Score >= 1 && choice.Text == tables[static_cast<std::size_t>(choice.Index)]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view page = input.substr(0, split);
    std::vector<std::string> names;
    if (split != std::string_view::npos)
        SplitText(input.substr(split + 1), names, '\0');

    CheckTags(page);
    CheckTable(page);
    CheckChoice(page, names);
    CheckCellTexts(page);
    return 0;
}
