// A journey's footnote and night mark, chosen from the journey header's menu
// with real clicks, shown above the journey, saved into the timetable file,
// taken back with undo; and the journey's operating days in the window
// "Betriebstage".

#include "app/app_windows.h"
#include "core/model/footnotes.h"
#include "core/model/timetable_file.h"
#include "gui/calendar/operating_days_window.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/edit_timetable.h"
#include "render/qt_text.h"
#include "support/controls.h"
#include "support/gui_fixture.h"
#include "support/timetable_steps.h"
#include "support/window_steps.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

namespace {

void Click(QAbstractButton *button) {
    QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
    QTest::mouseClick(button, Qt::LeftButton);
}

void OpenWeekdays() {
    Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "1");
    Choose(Control<QComboBox>(fmEditTimeTable, "cbDays"), "Mo-Fr");
    Choose(Control<QComboBox>(fmEditTimeTable, "cbDirection"), "1");
    Click(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"));
    QVERIFY(Control<QWidget>(fmEditTimeTable, "pTimeTableEdit")->isVisible());
}

QAction *ActionOf(QMenu *menu, const QString &caption) {
    for (QAction *action : menu->actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

// Right click on the journey's header, then an entry of the menu; an entry
// of the footnote menu is reached through "Fußnote".
void JourneyMenu(int col, const QString &caption, bool inFootnotes = false) {
    ClickCell(col, 0, Qt::RightButton);
    QMenu *menu = Control<QMenu>(fmEditTimeTable, "pmJourney");
    QVERIFY(menu->isVisible());
    if (inFootnotes) {
        QAction *open = ActionOf(menu, QStringLiteral("Fußnote"));
        QVERIFY(open);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(open).center());
        QMenu *footnotes = Control<QMenu>(fmEditTimeTable, "pmFootnote");
        QTRY_VERIFY(footnotes->isVisible());
        menu = footnotes;
    }
    QAction *action = ActionOf(menu, caption);
    QVERIFY2(action, qPrintable(caption));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    QTRY_VERIFY(!Control<QMenu>(fmEditTimeTable, "pmJourney")->isVisible());
}

TJourneyMarkList SavedMarks() {
    const TTimetableFile file(TimetablePath(OpenProject().ProjectDir, "1"));
    return file.ReadJourneyMarks("1_Mo-Fr");
}

TDate D(const char *iso) {
    return *ParseIsoDate(iso);
}

} // namespace

class JourneyMarksTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        CopyDemoProject(fx->path("demo"));
        SaveFootnotes(fx->path("demo").toStdString(),
                      {{"S", "nur an Schultagen", TFootnoteDays::SchoolDays, {}, {}, {}},
                       {"F", "nur in den Ferien", TFootnoteDays::SchoolHolidays, {}, {}, {}}});
        OpenDemoInTimetableEditor(*fx);
    }
    void cleanup() { fx.reset(); }

    void aFootnoteChosenFromTheHeaderMenuIsShownSavedAndUndone() {
        OpenWeekdays();
        const QString before = Cell(3, 2);
        JourneyMenu(3, QStringLiteral("S  nur an Schultagen"), true);
        QCOMPARE(Cell(3, 1), QStringLiteral("S"));
        QVERIFY(Control<QPushButton>(fmEditTimeTable, "btSave")->isVisible());
        QCOMPARE(Cell(3, 2), before);
        // Marked as a night journey too, then moved by inserting a journey before it
        JourneyMenu(3, QStringLiteral("Nachtfahrt des Vortags"));
        QCOMPARE(Cell(3, 1), QStringLiteral("S|N"));
        JourneyMenu(2, QStringLiteral("Fahrt einfügen"));
        QCOMPARE(Cell(4, 1), QStringLiteral("S|N"));
        QCOMPARE(Cell(3, 1), QString());
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(SavedMarks(), (TJourneyMarkList{{}, {}, {"S", true}}));

        // Undo takes back the insertion and then the night mark; saved again
        Key(Qt::Key_Z, Qt::ControlModifier);
        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Cell(3, 1), QStringLiteral("S"));
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QCOMPARE(SavedMarks(), (TJourneyMarkList{{}, {"S", false}}));
        // The menu shows the journey's footnote checked; "keine Fußnote" takes it off
        JourneyMenu(3, QStringLiteral("keine Fußnote"), true);
        QCOMPARE(Cell(3, 1), QString());
        Click(Control<QPushButton>(fmEditTimeTable, "btSave"));
        QVERIFY(SavedMarks().empty());
        const QByteArray file = ReadBytes(fx->path("demo/line_1.ttd"));
        QVERIFY2(!file.contains("footnotes="), file.constData());

        // Opened again, the marks come from the file
        TTimetableFile marked(TimetablePath(OpenProject().ProjectDir, "1"));
        marked.WriteJourneyMarks("1_Mo-Fr", {{}, {}, {}, {"F", false}});
        marked.Save();
        Click(Control<QPushButton>(fmEditTimeTable, "btCancel"));
        OpenWeekdays();
        QCOMPARE(Cell(5, 1), QStringLiteral("F"));
    }

    void theOperatingDaysOfASchoolDayJourneyInTheirWindow() {
        // Saxony, Christmas holidays from 23 December 2026
        TPrjParams &params = OpenProject().PrjParams;
        params.Publishing.FirstDate = "20261213";
        params.Publishing.LastDate = "20271211";
        params.Calendar.Land = "SN";
        params.Calendar.SchoolHolidays = {{{D("2026-12-23"), D("2027-01-02")}, "Weihnachten"}};
        OpenWeekdays();
        JourneyMenu(2, QStringLiteral("S  nur an Schultagen"), true);
        // The window opens modally from the journey menu; it is read while shown
        bool seen = false;
        fx->dialogs->setNextModalAction([&](QDialog &) {
            QVERIFY(fmOperatingDays->isVisible());
            auto *december =
                fmOperatingDays->findChild<QTableWidget *>(QStringLiteral("tbMonth12"));
            QVERIFY(december);
            auto *footnotes =
                fmOperatingDays->findChild<QComboBox *>(QStringLiteral("cbFootnotes"));
            QCOMPARE(footnotes->currentData().toString(), QStringLiteral("S"));
            std::map<QString, QTableWidgetItem *> days;
            for (int r = 0; r < december->rowCount(); ++r)
                for (int c = 0; c < december->columnCount(); ++c)
                    if (QTableWidgetItem *item = december->item(r, c))
                        days[item->data(Qt::UserRole).toString()] = item;
            QCOMPARE(days.size(), std::size_t(31));
            const QColor runs = TfmOperatingDays::RunsColor();
            // Monday 14 to Tuesday 22 December run; the holidays do not
            QCOMPARE(days["2026-12-14"]->background().color(), runs);
            QCOMPARE(days["2026-12-22"]->background().color(), runs);
            QCOMPARE(days["2026-12-14"]->column(), 0); // Monday in the first column
            QCOMPARE(days["2026-12-23"]->background().color(),
                     TfmOperatingDays::SchoolHolidayColor());
            QCOMPARE(days["2026-12-25"]->background().color(), TfmOperatingDays::HolidayColor());
            QVERIFY(days["2026-12-25"]->toolTip().contains(QStringLiteral("1. Weihnachtstag")));
            // Before the validity period
            QCOMPARE(days["2026-12-12"]->foreground().color(), QColor(Qt::gray));
            // Without the footnote the journeys run in the holidays too
            Choose(footnotes, QStringLiteral("keine Fußnote"));
            december = fmOperatingDays->findChild<QTableWidget *>(QStringLiteral("tbMonth12"));
            bool holidayRuns = false;
            for (int r = 0; r < december->rowCount(); ++r)
                for (int c = 0; c < december->columnCount(); ++c)
                    if (QTableWidgetItem *item = december->item(r, c);
                        item && item->data(Qt::UserRole).toString() == "2026-12-28")
                        holidayRuns = item->background().color() == runs;
            QVERIFY(holidayRuns);
            seen = true;
        });
        JourneyMenu(2, QStringLiteral("Betriebstage…"));
        QVERIFY(seen);
        QVERIFY(fx->dialogs->log().contains(QStringLiteral("modal:Betriebstage")));
    }

  private:
    std::unique_ptr<GuiFixture> fx;
};

TAKTON_GUI_TEST_MAIN(JourneyMarksTest)
#include "test_journey_marks.moc"
