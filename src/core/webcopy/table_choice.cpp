#include "core/webcopy/table_choice.h"

#include "core/util/counted.h"
#include "core/webcopy/html_table.h"
#include "core/webcopy/html_text.h"
#include "core/webcopy/web_time.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <map>

namespace takton {
namespace {

// All names searched in one pass over a text (an Aho-Corasick automaton made a
// complete state table). Bytes that occur in no name share one column of the
// table, which keeps it small for many long names.
class TNameMatcher {
  public:
    explicit TNameMatcher(const std::vector<std::string> &names);

    // The sum of the weights of the distinct names that occur in text.
    // stamp must differ for every call (it marks names already counted).
    int Score(std::string_view text, std::uint32_t stamp);

  private:
    int AddName(std::string_view name);
    void Link();

    std::array<std::uint16_t, 256> classOf_{};
    std::size_t classCount_ = 1;
    std::vector<std::int32_t> next_; // state * classCount_ + class -> state
    // The same moves as offsets into moves_ itself (state * classCount_),
    // bit-inverted when the target state reports a name: one load and one
    // sign test per byte of text.
    std::vector<std::int32_t> moves_;
    // Bytes that lead away from the start state. Between names the text is
    // skipped over them without the table's load-after-load chain.
    std::array<bool, 256> startsName_{};
    std::vector<std::int32_t> nameAt_;   // the name ending exactly at a state, or -1
    std::vector<std::int32_t> nameLink_; // nearest shorter suffix state ending a name, or -1
    std::vector<std::uint8_t> reports_;  // a name ends at the state or at a suffix of it
    std::vector<int> weight_;            // per distinct name: how often it was given
    std::vector<std::uint32_t> counted_; // per distinct name: stamp of the last count
};

TNameMatcher::TNameMatcher(const std::vector<std::string> &names) {
    for (const auto &name : names)
        for (const char c : name) {
            auto &cls = classOf_[static_cast<unsigned char>(c)];
            if (cls == 0)
                cls = static_cast<std::uint16_t>(classCount_++);
        }
    next_.assign(classCount_, -1);
    nameAt_.push_back(-1);

    std::map<std::string_view, int> distinct;
    for (const auto &name : names) {
        if (name.empty())
            continue;
        const auto [it, added] = distinct.emplace(name, static_cast<int>(weight_.size()));
        if (added) {
            weight_.push_back(0);
            nameAt_[static_cast<std::size_t>(AddName(name))] = it->second;
        }
        ++weight_[static_cast<std::size_t>(it->second)];
    }
    counted_.assign(weight_.size(), 0);
    Link();
}

int TNameMatcher::AddName(std::string_view name) {
    std::size_t state = 0;
    for (const char c : name) {
        const std::size_t slot = state * classCount_ + classOf_[static_cast<unsigned char>(c)];
        if (next_[slot] < 0) {
            next_[slot] = static_cast<std::int32_t>(nameAt_.size());
            nameAt_.push_back(-1);
            next_.resize(next_.size() + classCount_, -1);
        }
        state = static_cast<std::size_t>(next_[slot]);
    }
    return static_cast<int>(state);
}

// Breadth first: each state's missing moves are those of its longest proper
// suffix state, which is complete by then.
void TNameMatcher::Link() {
    const std::size_t states = nameAt_.size();
    std::vector<std::int32_t> fail(states, 0);
    nameLink_.assign(states, -1);
    reports_.assign(states, 0);
    std::deque<std::size_t> queue;
    for (std::size_t cls = 0; cls < classCount_; ++cls) {
        auto &move = next_[cls];
        if (move < 0)
            move = 0;
        else
            queue.push_back(static_cast<std::size_t>(move));
    }
    while (!queue.empty()) {
        const std::size_t state = queue.front();
        queue.pop_front();
        const auto suffix = static_cast<std::size_t>(fail[state]);
        nameLink_[state] =
            nameAt_[suffix] >= 0 ? static_cast<std::int32_t>(suffix) : nameLink_[suffix];
        reports_[state] = nameAt_[state] >= 0 || nameLink_[state] >= 0;
        for (std::size_t cls = 0; cls < classCount_; ++cls) {
            auto &move = next_[state * classCount_ + cls];
            const std::int32_t viaSuffix = next_[suffix * classCount_ + cls];
            if (move < 0) {
                move = viaSuffix;
            } else {
                fail[static_cast<std::size_t>(move)] = viaSuffix;
                queue.push_back(static_cast<std::size_t>(move));
            }
        }
    }
    moves_.resize(next_.size());
    for (std::size_t slot = 0; slot < next_.size(); ++slot) {
        const auto target = static_cast<std::size_t>(next_[slot]);
        const auto offset = static_cast<std::int32_t>(target * classCount_);
        moves_[slot] = reports_[target] ? ~offset : offset;
    }
    next_.clear();
    next_.shrink_to_fit();
    for (std::size_t byte = 0; byte < 256; ++byte)
        startsName_[byte] = moves_[classOf_[byte]] != 0;
}

int TNameMatcher::Score(std::string_view text, std::uint32_t stamp) {
    int score = 0;
    std::int32_t at = 0;
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *const end = p + text.size();
    while (p < end) {
        if (at == 0) {
            while (p < end && !startsName_[*p])
                ++p;
            if (p == end)
                break;
        }
        at = moves_[static_cast<std::size_t>(at) + classOf_[*p++]];
        if (at >= 0)
            continue;
        at = ~at;
        const std::size_t state = static_cast<std::size_t>(at) / classCount_;
        // A name counted before had all names that end inside it counted too.
        for (std::int32_t s = nameAt_[state] >= 0 ? static_cast<std::int32_t>(state)
                                                  : nameLink_[state];
             s >= 0; s = nameLink_[static_cast<std::size_t>(s)]) {
            const auto name = static_cast<std::size_t>(nameAt_[static_cast<std::size_t>(s)]);
            if (counted_[name] == stamp)
                break;
            counted_[name] = stamp;
            score += weight_[name];
        }
    }
    return score;
}

} // namespace

std::vector<std::string_view> CutTables(std::string_view page) {
    std::vector<std::string_view> tables;
    std::size_t position = 1;
    for (;;) {
        const THtmlElement table = FindElement(page, position, "table");
        if (table.Start == 0)
            return tables;
        tables.push_back(page.substr(table.Start - 1, table.Next - table.Start));
        position = table.Next;
    }
}

std::vector<int> ScoreTables(const std::vector<std::string_view> &tables,
                             const std::vector<std::string> &names) {
    TNameMatcher matcher(names);
    std::vector<int> scores;
    scores.reserve(tables.size());
    for (std::size_t i = 0; i < tables.size(); ++i)
        scores.push_back(matcher.Score(tables[i], static_cast<std::uint32_t>(i + 1)));
    return scores;
}

std::vector<TTableInfo> SurveyTables(std::string_view page, const std::vector<std::string> &names) {
    const std::vector<THtmlTableShape> shapes = MeasureTables(page, IsTimeLikeHtmlCell);
    std::vector<std::string_view> texts;
    texts.reserve(shapes.size());
    for (const THtmlTableShape &shape : shapes)
        texts.push_back(shape.Text);
    const std::vector<int> scores = ScoreTables(texts, names);
    std::vector<TTableInfo> tables;
    tables.reserve(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const THtmlTableShape &shape = shapes[i];
        tables.push_back({shape.Text, static_cast<int>(shape.Rows), static_cast<int>(shape.Cols),
                          static_cast<int>(shape.Cells), scores[i],
                          static_cast<int>(shape.MarkedCells)});
    }
    return tables;
}

int ChooseSurveyed(const std::vector<TTableInfo> &tables) {
    int chosen = -1;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const TTableInfo &table = tables[i];
        if (table.Stations < 1)
            continue;
        if (chosen >= 0) {
            const TTableInfo &best = tables[static_cast<std::size_t>(chosen)];
            if (table.Stations < best.Stations ||
                (table.Stations == best.Stations && table.Times <= best.Times))
                continue;
        }
        chosen = static_cast<int>(i);
    }
    return chosen;
}

TTableChoice ChooseTable(std::string_view page, const std::vector<std::string> &names) {
    const std::vector<TTableInfo> tables = SurveyTables(page, names);
    TTableChoice choice;
    choice.Index = ChooseSurveyed(tables);
    if (choice.Index >= 0) {
        const TTableInfo &table = tables[static_cast<std::size_t>(choice.Index)];
        choice.Score = table.Stations;
        choice.Times = table.Times;
        choice.Text = table.Text;
    }
    return choice;
}

void LayOutWebTable(std::string_view tableText, TStringGrid &grid, const TTextWidthFn &textWidth) {
    HtmlTableToGrid(tableText, grid, false);
    for (int row = 0; row < grid.RowCount(); ++row)
        for (std::string &cell : grid.RowCells(row))
            if (!cell.empty())
                cell = WebCellText(cell);
    if (textWidth)
        FitColumnWidths(grid, textWidth);
}

TWebTablePage TakeWebTable(std::string_view page, std::string_view heading,
                           const std::vector<std::string> &stations, TStringGrid &grid,
                           const TTextWidthFn &textWidth, int wanted) {
    std::vector<std::string> names;
    names.reserve(stations.size() + 1);
    names.emplace_back(heading);
    names.insert(names.end(), stations.begin(), stations.end());
    TWebTablePage taken{SurveyTables(page, names), -1};
    const int count = static_cast<int>(taken.Tables.size());
    if (wanted < 0)
        taken.Chosen = ChooseSurveyed(taken.Tables);
    else if (wanted < count && taken.Tables[static_cast<std::size_t>(wanted)].Cells > 0)
        taken.Chosen = wanted;
    if (taken.Chosen >= 0)
        LayOutWebTable(taken.Tables[static_cast<std::size_t>(taken.Chosen)].Text, grid, textWidth);
    return taken;
}

std::string TableListText(const TTableInfo &table, int index) {
    return "Tabelle " + std::to_string(index + 1) + ": " + Counted(table.Rows, "Zeile", "Zeilen") +
           ", " + Counted(table.Cols, "Spalte", "Spalten") + ", " +
           Counted(table.Stations, "Station", "Stationen") + ", " +
           Counted(table.Times, "Zeit", "Zeiten");
}

} // namespace takton
