#include "core/model/timetable_check.h"
#include "core/util/error.h"

#include <deque>
#include <gtest/gtest.h>

using namespace takton;

namespace {

class ScriptedQuestioner : public IQuestioner {
  public:
    bool AskYesNo(const std::string &question) override {
        asked.push_back(question);
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<bool> answers;
    std::vector<std::string> asked;
};

// A timetable grid of `stations` station rows and 6 journeys; cells are set
// per journey (journey j lives in column j + 1).
class TimetableCheckTest : public ::testing::Test {
  protected:
    void MakeGrid(int stations, int journeys = 6) {
        grid = TStringGrid(2 + journeys, 2 + stations, 2, 2);
        for (int r = 0; r < stations; ++r)
            grid.SetCell(1, 2 + r, "S" + std::to_string(r + 1));
    }
    void Set(int journey, int station, const std::string &text) {
        grid.SetCell(journey + 1, station + 1, text);
    }
    const std::string &At(int journey, int station) const {
        return grid.Cell(journey + 1, station + 1);
    }
    // Types text into a cell as the grid does and leaves it.
    bool Enter(int journey, int station, const std::string &typed) {
        state.SavedText = At(journey, station);
        state.SavedTextTaken = true;
        Set(journey, station, typed);
        const bool ok =
            CheckCell(grid, journey + 1, station + 1, state, questioner, maxDrive).Accepted;
        if (ok)
            state.SavedTextTaken = false;
        return ok;
    }
    // The normalised text of an entry, or "refused".
    std::string Typed(int journey, int station, const std::string &typed) {
        return Enter(journey, station, typed) ? At(journey, station) : "refused";
    }

    TStringGrid grid{8, 4, 2, 2};
    TTimetableEditState state;
    ScriptedQuestioner questioner;
    int maxDrive = 720;
};

} // namespace

TEST_F(TimetableCheckTest, TellsCellKindsAndReadsTimes) {
    MakeGrid(2);
    const std::pair<const char *, TCellKind> cases[] = {
        {"  ", TCellKind::Empty},       {"08:05", TCellKind::Time},
        {"8:5", TCellKind::Time},       {"8:5:0", TCellKind::Other},
        {"24:00", TCellKind::Other},    {"20 Min", TCellKind::Interval},
        {"0 Min", TCellKind::Interval}, {"Min", TCellKind::Other},
        {"20 min", TCellKind::Other},   {"-5 Min", TCellKind::Other},
        {"x Min", TCellKind::Other},    {":30", TCellKind::Other}};
    for (const auto &[text, kind] : cases) {
        Set(1, 1, text);
        EXPECT_EQ(GetCellKind(grid, 2, 2), kind) << text;
    }
    EXPECT_EQ(GetCellKind(grid, 0, 2), TCellKind::Other);
    EXPECT_EQ(FormatTime(7, 5), "07:05");
    EXPECT_EQ(FormatTime(24, 0), "");
    EXPECT_EQ(GetIntervalMinutes("20 Min"), 20);
    EXPECT_EQ(GetIntervalMinutes("20"), -1);
    EXPECT_EQ(ToNumber(" +12"), 12);
    EXPECT_EQ(ToNumber("--5"), -1);
    EXPECT_EQ(ToNumber("99999999999"), -1);
    EXPECT_EQ(ToNumber("12 "), -1);
}

TEST_F(TimetableCheckTest, ReadsTheTimeShorthand) {
    MakeGrid(3);
    Set(2, 1, "08:00");
    EXPECT_EQ(Typed(2, 2, "15"), "08:15");
    for (const char *typed : {"930", "0930", "9:30", "9.30", "9:3", " 9:30 "})
        EXPECT_EQ(Typed(2, 2, typed), "09:30") << typed;
    EXPECT_EQ(Typed(2, 2, "12:3"), "12:30");
    for (const char *typed : {"93", "2400", "1260", "123:4", ":30", "9:", "9a30", "x", "+1440"})
        EXPECT_EQ(Typed(2, 2, typed), "refused") << typed;

    Set(2, 1, "08:55");
    EXPECT_EQ(Typed(2, 2, "5"), "09:05") << "minutes below the base go to the next hour";
    // The examples the user guide gives: the next time with that minute.
    Set(2, 1, "09:15");
    EXPECT_EQ(Typed(2, 2, "2"), "10:02");
    EXPECT_EQ(Typed(2, 2, "20"), "09:20");
    EXPECT_EQ(Typed(2, 2, "15"), "09:15") << "the same minute above: that time";
    Set(2, 1, "23:55");
    EXPECT_EQ(Typed(2, 2, "0"), "00:00");
    EXPECT_EQ(Typed(2, 2, "5"), "00:05");
    Set(2, 1, "23:58");
    EXPECT_EQ(Typed(2, 2, "+5"), "00:03");
    EXPECT_EQ(Typed(2, 2, "+ 1"), "23:59");
}

TEST_F(TimetableCheckTest, TakesTheBaseTimeFromTheJourneyToTheLeft) {
    MakeGrid(2);
    Set(1, 1, "08:15");
    EXPECT_EQ(Typed(2, 1, "15"), "09:15") << "equal minutes from the left: next hour";
    EXPECT_EQ(Typed(2, 1, "20"), "08:20");
    MakeGrid(2);
    EXPECT_EQ(Typed(1, 1, "15"), "refused") << "no base time at all";
    EXPECT_EQ(Typed(1, 1, "+5"), "refused");
}

TEST_F(TimetableCheckTest, KeepsTheDrivingRuleAtItsMaximum) {
    MakeGrid(2);
    Set(1, 1, "08:00");
    maxDrive = 299;
    EXPECT_EQ(Typed(1, 2, "13:00"), "refused");
    maxDrive = 300;
    EXPECT_EQ(Typed(1, 2, "13:00"), "13:00");
    EXPECT_EQ(Typed(1, 2, "08:00"), "08:00") << "equal times are allowed";
    EXPECT_EQ(Typed(1, 2, "07:59"), "refused") << "earlier counts as the next day";
    maxDrive = 1439;
    EXPECT_EQ(Typed(1, 2, "07:59"), "07:59");
}

TEST_F(TimetableCheckTest, AcceptsIntervalsOnlyRightOfATimeAndChecksTimesAfterThem) {
    MakeGrid(1);
    Set(1, 1, "08:00");
    EXPECT_EQ(Typed(2, 1, "a20"), "20 Min");
    EXPECT_EQ(Typed(2, 1, "20 min"), "20 Min");
    EXPECT_EQ(Typed(2, 1, "A 20"), "20 Min");
    EXPECT_EQ(Typed(2, 1, "a0"), "refused") << "an interval of no minutes is no interval";
    EXPECT_EQ(Typed(2, 1, "a1440"), "refused");
    EXPECT_TRUE(questioner.asked.empty()) << "no question in the last row";

    Set(2, 1, "20 Min");
    EXPECT_EQ(Typed(3, 1, "08:40"), "08:40");
    EXPECT_EQ(Typed(3, 1, "08:30"), "refused");
    EXPECT_EQ(Typed(3, 1, "07:40"), "refused");
    Set(3, 1, "");
    EXPECT_EQ(Typed(4, 1, "a20"), "refused") << "nearest non-empty cell to the left is an interval";
    Set(2, 1, "Umstieg");
    EXPECT_EQ(Typed(4, 1, "a20"), "refused");

    // A loaded "0 Min" cell never divides by zero
    Set(2, 1, "0 Min");
    EXPECT_EQ(Typed(3, 1, "08:40"), "refused");
}

TEST_F(TimetableCheckTest, FillsAnIntervalDownwardsWhenAskedAndJumpsWithEnter) {
    MakeGrid(4);
    Set(1, 1, "08:00");
    Set(1, 2, "08:05");
    Set(1, 4, "08:20");
    Set(2, 3, "alt");
    questioner.answers = {true};
    EXPECT_EQ(Typed(2, 1, "a20"), "20 Min");
    ASSERT_EQ(questioner.asked.size(), 1u);
    EXPECT_EQ(questioner.asked[0], kFillAllQuestion);
    EXPECT_EQ(At(2, 2), "20 Min");
    EXPECT_EQ(At(2, 3), "") << "no time to the left: emptied";
    EXPECT_EQ(At(2, 4), "20 Min");

    // With Enter the fill refuses, so the cursor can jump; the cells stay filled
    MakeGrid(2);
    Set(1, 1, "08:00");
    Set(1, 2, "08:05");
    state.EnterPressed = true;
    questioner.answers = {true};
    EXPECT_FALSE(Enter(2, 1, "a10"));
    EXPECT_TRUE(state.SkipNextCheck);
    EXPECT_EQ(At(2, 1), "10 Min");
    EXPECT_EQ(At(2, 2), "10 Min");
    EXPECT_TRUE(CheckCell(grid, 3, 3, state, questioner, maxDrive)) << "the next check passes";
    EXPECT_FALSE(state.SkipNextCheck);
}

TEST_F(TimetableCheckTest, CopiesAJourneyShiftedByTheOffset) {
    MakeGrid(4);
    Set(3, 1, "06:00");
    Set(3, 2, "06:10");
    Set(3, 3, "06:25");
    Set(5, 1, "06:30");
    EXPECT_FALSE(Enter(5, 2, "=3")) << "a copy refuses so that the cursor jumps";
    EXPECT_EQ(At(5, 2), "06:40");
    EXPECT_EQ(At(5, 3), "06:55");
    EXPECT_EQ(At(5, 4), "");
    EXPECT_TRUE(state.SkipNextCheck);
    EXPECT_TRUE(CheckCell(grid, 6, 3, state, questioner, maxDrive));
    EXPECT_EQ(At(5, 2), "06:40");

    // Across midnight: hours wrap
    Set(4, 1, "23:50");
    Set(6, 1, "23:55");
    Set(4, 2, "23:58");
    state = {};
    EXPECT_FALSE(Enter(6, 2, "s4"));
    EXPECT_EQ(At(6, 2), "00:03");

    // An empty journey empties the cell and all below
    MakeGrid(3);
    Set(2, 2, "07:00");
    Set(2, 3, "07:10");
    state = {};
    EXPECT_FALSE(Enter(2, 2, "=4"));
    EXPECT_EQ(At(2, 2), "");
    EXPECT_EQ(At(2, 3), "");
}

TEST_F(TimetableCheckTest, RefusesCopiesThatCannotBeShifted) {
    std::vector<std::string> texts;
    MakeGrid(3);
    Set(3, 1, "06:00");
    Set(3, 2, "10 Min");
    Set(3, 3, "06:20");
    Set(5, 1, "06:30");
    EXPECT_FALSE(CopyJourney(grid, 6, 4, 4, texts)) << "interval above the current row";
    MakeGrid(2);
    Set(3, 1, "06:30");
    Set(3, 2, "06:40");
    Set(5, 1, "06:00");
    EXPECT_FALSE(CopyJourney(grid, 6, 3, 4, texts)) << "negative offset";
    EXPECT_FALSE(CopyJourney(grid, 6, 3, 6, texts)) << "a journey from itself";
    EXPECT_FALSE(CopyJourney(grid, 6, 3, 1, texts)) << "the station column";
    Set(3, 2, "Bus");
    EXPECT_FALSE(CopyJourney(grid, 6, 3, 4, texts));
    EXPECT_TRUE(texts.empty()) << "failures add nothing";

    // "=" with no number is refused with the standard conversion message
    MakeGrid(2);
    Set(1, 1, "06:00");
    Set(2, 2, "05:00");
    state.SavedText = "05:00";
    state.SavedTextTaken = true;
    Set(2, 2, "=x");
    const TCheckResult result = CheckCell(grid, 3, 3, state, questioner, maxDrive);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.Reason, "'x' ist kein g\xFCltiger Integerwert");
    EXPECT_EQ(At(2, 2), "05:00") << "refused like any other entry";
    EXPECT_EQ(Typed(2, 2, "=0"), "refused") << "journey 0 is the station column";
    EXPECT_EQ(Typed(2, 2, "=2147483647"), "refused") << "no journey, and no overflow";
    EXPECT_EQ(Typed(2, 2, "=7"), "refused") << "beyond the grid's last journey";
}

TEST_F(TimetableCheckTest, CopiesTheCellAboveAndRestoresRefusedEntries) {
    MakeGrid(3);
    Set(1, 1, "06:00");
    EXPECT_EQ(Typed(1, 2, "="), "06:00");
    EXPECT_EQ(Typed(1, 1, "="), "refused") << "first station row";
    Set(2, 1, "Bus");
    EXPECT_EQ(Typed(2, 2, "s"), "refused") << "other text above";

    // GIVEN a cell holding 06:10 WHEN a wrong entry is left and typed again
    Set(1, 3, "06:10");
    state.SavedText = "06:10";
    state.SavedTextTaken = true;
    Set(1, 3, "9999");
    EXPECT_FALSE(CheckCell(grid, 2, 4, state, questioner, maxDrive));
    // THEN the cell shows its text from before the first key, and the next
    // key takes it again as the text to go back to
    EXPECT_EQ(At(1, 3), "06:10");
    EXPECT_FALSE(state.SavedTextTaken);
    state.SavedText = At(1, 3);
    state.SavedTextTaken = true;
    Set(1, 3, "x");
    EXPECT_FALSE(CheckCell(grid, 2, 4, state, questioner, maxDrive));
    EXPECT_EQ(At(1, 3), "06:10");

    // A refused cell nobody typed into keeps its own (pasted) text
    state = {};
    state.SavedText = "aus einer anderen Zelle";
    Set(1, 2, "Bahnsteig 3");
    EXPECT_FALSE(CheckCell(grid, 2, 3, state, questioner, maxDrive));
    EXPECT_EQ(At(1, 2), "Bahnsteig 3");
}

TEST_F(TimetableCheckTest, BaseTimeBoundaries) {
    // Equal minutes with the base time from above: the same hour.
    MakeGrid(3);
    Set(1, 1, "08:15");
    EXPECT_EQ(Typed(1, 2, "15"), "08:15");
    // No time above, a base time in a row above in the journey to the left:
    // taken from there, and as a time from the left equal minutes mean the
    // next hour.
    MakeGrid(3);
    Set(1, 1, "08:00");
    EXPECT_EQ(Typed(2, 3, "10"), "08:10");
    EXPECT_EQ(Typed(2, 3, "0"), "09:00");
    EXPECT_EQ(Typed(2, 3, "+7"), "08:07");
}

TEST_F(TimetableCheckTest, IntervalRuleAtEqualTimeAndAtMidnight) {
    MakeGrid(1);
    Set(1, 1, "08:00");
    Set(2, 1, "20 Min");
    EXPECT_EQ(Typed(3, 1, "08:00"), "refused") << "a time after an interval must be later";
    EXPECT_EQ(Typed(3, 1, "08:20"), "08:20");
    // The interval never runs across midnight.
    Set(1, 1, "23:50");
    EXPECT_EQ(Typed(3, 1, "00:10"), "refused");
    EXPECT_EQ(Typed(3, 1, "23:50"), "refused");
    Set(1, 1, "23:30");
    EXPECT_EQ(Typed(3, 1, "23:50"), "23:50");

    // In journey 1 the cell to the left is the station name: no interval.
    MakeGrid(2);
    EXPECT_EQ(Typed(1, 1, "a20"), "refused");
    grid.SetCell(1, 2, "");
    EXPECT_EQ(Typed(1, 1, "a20"), "20 Min") << "a row without a name has nothing to the left";
}

TEST_F(TimetableCheckTest, FillWithEnterInTheLastColumnIsAccepted) {
    MakeGrid(2, 3);
    Set(2, 1, "08:00");
    Set(2, 2, "08:05");
    state.EnterPressed = true;
    questioner.answers = {true};
    EXPECT_TRUE(Enter(3, 1, "a30")) << "no column to jump to: the entry is simply accepted";
    EXPECT_FALSE(state.SkipNextCheck);
    EXPECT_EQ(At(3, 1), "30 Min");
    EXPECT_EQ(At(3, 2), "30 Min");
}

TEST_F(TimetableCheckTest, CopiesTheCellAboveWhenItIsEmptyOrAnInterval) {
    MakeGrid(3);
    Set(1, 1, "08:00");
    Set(2, 3, "alt");
    EXPECT_EQ(Typed(2, 3, "="), "") << "below an empty cell";
    Set(2, 1, "20 Min");
    EXPECT_EQ(Typed(2, 2, "S"), "20 Min") << "below an interval";
}

// Why an entry is refused, as the planner reads it; the driving rule towards
// the next time below.
TEST_F(TimetableCheckTest, SaysWhyAnEntryIsRefused) {
    auto why = [&](int journey, int station, const std::string &typed) {
        state.SavedText = At(journey, station);
        state.SavedTextTaken = true;
        Set(journey, station, typed);
        const TCheckResult result =
            CheckCell(grid, journey + 1, station + 1, state, questioner, maxDrive);
        return result ? std::string("accepted") : result.Reason;
    };
    MakeGrid(3);
    maxDrive = 30;
    Set(1, 1, "07:03");
    EXPECT_EQ(why(1, 2, "07:01"), "Zeit liegt vor der Zeit dar\xFC"
                                  "ber (07:03)");
    EXPECT_EQ(why(1, 2, "07:40"), "Fahrzeit \xFC"
                                  "ber 30 Minuten");
    EXPECT_EQ(why(1, 2, "2400"), "Keine g\xFCltige Uhrzeit");
    EXPECT_EQ(why(1, 2, "75"), "Minuten m\xFCssen 0 bis 59 sein");
    EXPECT_EQ(why(1, 2, "+1440"), "Versatz muss 0 bis 1439 Minuten sein");
    EXPECT_EQ(why(1, 2, "#"), "Unbekannte Eingabe");
    EXPECT_EQ(why(1, 2, "=12"), "Fahrt 12 gibt es nicht");
    EXPECT_EQ(why(1, 2, "=1"), "Eine Fahrt kann sich nicht selbst \xFC"
                               "bernehmen");
    EXPECT_EQ(why(1, 1, "="), "Keine Zelle dar\xFC"
                              "ber");
    EXPECT_EQ(why(2, 1, "15"), "accepted") << "from the left: 08:15";
    EXPECT_EQ(why(3, 1, "a0"), "Takt muss 1 bis 1439 Minuten sein");
    MakeGrid(3);
    EXPECT_EQ(why(1, 1, "5"), "Keine Zeit davor f\xFCr die Minuten");
    EXPECT_EQ(why(1, 1, "+5"), "Keine Zeit davor f\xFCr den Versatz");
    Set(1, 1, "08:00");
    Set(2, 1, "Bus");
    EXPECT_EQ(why(3, 1, "a10"), "Takt nur rechts neben einer Zeit");
    Set(2, 1, "20 Min");
    EXPECT_EQ(why(3, 1, "08:30"), "Zeit passt nicht in den Takt von 20 Minuten ab 08:00");
    EXPECT_EQ(why(3, 1, "07:40"), "Zeit liegt nicht nach der Zeit vor dem Takt (08:00)");
    Set(1, 1, "");
    EXPECT_EQ(why(3, 1, "08:40"), "Keine Zeit links f\xFCr den Takt");

    // A time that would run backwards against the next time below is refused
    // like one against the time above; equal times pass.
    MakeGrid(3);
    maxDrive = 30;
    Set(1, 2, "07:03");
    EXPECT_EQ(why(1, 1, "812"), "Zeit liegt nach der Zeit darunter (07:03)");
    EXPECT_EQ(why(1, 1, "0620"), "Fahrzeit \xFC"
                                 "ber 30 Minuten");
    EXPECT_EQ(why(1, 1, "0703"), "accepted");
    maxDrive = 1439;
    EXPECT_EQ(why(1, 1, "812"), "accepted") << "the next day's, when the maximum allows it";
}

TEST_F(TimetableCheckTest, RefusalsCountOneMinuteInTheSingular) {
    auto why = [&](const std::string &typed, int limit) {
        Set(1, 2, typed);
        const TCheckResult result = CheckCell(grid, 2, 3, state, questioner, limit);
        return result ? std::string("accepted") : result.Reason;
    };
    MakeGrid(3);
    Set(1, 1, "07:00");
    EXPECT_EQ(why("07:02", 1), "Fahrzeit \xFC"
                               "ber 1 Minute");
    EXPECT_EQ(why("07:02", 0), "Fahrzeit \xFC"
                               "ber 0 Minuten");
    EXPECT_EQ(why("07:01", 1), "accepted");
}

TEST_F(TimetableCheckTest, AsksTheFillQuestionOnlyForAnEnteredInterval) {
    MakeGrid(3);
    Set(1, 1, "08:00");
    Set(2, 1, "20 Min");
    state = {};
    EXPECT_TRUE(CheckCell(grid, 3, 2, state, questioner, maxDrive)) << "passing the cell";
    EXPECT_TRUE(questioner.asked.empty());
    EXPECT_EQ(Typed(2, 1, "a20"), "20 Min") << "typed again";
    EXPECT_EQ(questioner.asked.size(), 1u);
}
