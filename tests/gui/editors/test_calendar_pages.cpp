// The pages "Betriebstage" and "Fußnoten" of the project options, worked by
// typing and clicking: the Land chosen, school holidays typed and read from
// an iCalendar file, special days, footnotes; refusals that write nothing;
// the project file and footnotes.ini checked after saving.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "core/model/footnotes.h"
#include "core/model/prj_load.h"
#include "core/model/timetable_file.h"
#include "gui/common/current_project.h"
#include "gui/editors/edit_project.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"
#include "support/window_steps.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

namespace {

QWidget *DaysPage() {
    return Control<QWidget>(fmEditProject, "tsOperatingDays");
}
QWidget *NotesPage() {
    return Control<QWidget>(fmEditProject, "tsFootnotes");
}
template <class W> W *InDays(const char *name) {
    return Control<W>(DaysPage(), name);
}
template <class W> W *InNotes(const char *name) {
    return Control<W>(NotesPage(), name);
}
QPushButton *Button(const char *name) {
    return Control<QPushButton>(fmEditProject, name);
}

void ShowPage(QWidget *page) {
    QTabWidget *tabs = Control<QTabWidget>(fmEditProject, "pcRubrik");
    QTabBar *bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tabs->indexOf(page)).center());
    QVERIFY(page->isVisible());
}

bool LastMessageHas(GuiFixture &fx, const QString &part) {
    const QStringList &log = fx.dialogs->log();
    return !log.isEmpty() && log.last().startsWith("message:") && log.last().contains(part);
}

} // namespace

class CalendarPagesTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        CopyDemoProject(fx->path("demo"));
        fmMain->show();
        fmMain->OpenFromCommandLine(fx->path("demo/demo.zpr"));
        fmEditProject->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmEditProject));
        fx->dialogs->clearLog();
    }
    void cleanup() { fx.reset(); }

    void landSchoolHolidaysAndSpecialDaysAreSavedIntoTheProjectFile() {
        ShowPage(DaysPage());
        Choose(InDays<QComboBox>("cbLand"), QStringLiteral("Sachsen"));
        QVERIFY(Button("btSave")->isVisible());
        ReplaceText(InDays<QLineEdit>("leSchoolHoliday"),
                    QStringLiteral("2027-10-11..2027-10-23 Herbstferien"));
        Click(InDays<QPushButton>("btAddSchoolHoliday"));
        fx->dialogs->setNextFileName(
            QStringLiteral(TAKTON_SOURCE_DIR "/tests/data/ics/schulferien_sachsen_2026.ics"));
        Click(InDays<QPushButton>("btImportIcs"));
        QVERIFY(LastMessageHas(*fx, QStringLiteral("6 von 6 Ferienzeiten übernommen")));
        QCOMPARE(Items(InDays<QListWidget>("lbSchoolHolidays")).size(), 7);
        QCOMPARE(Items(InDays<QListWidget>("lbSchoolHolidays")).last(),
                 QStringLiteral("2027-10-11..2027-10-23 Herbstferien"));
        ReplaceText(InDays<QLineEdit>("leSpecialDates"), QStringLiteral("2026-12-24"));
        Choose(InDays<QComboBox>("cbTreatment"), QStringLiteral("wie Samstag"));
        Click(InDays<QPushButton>("btAddSpecialDay"));
        ReplaceText(InDays<QLineEdit>("leSpecialDates"), QStringLiteral("2026-12-31"));
        Choose(InDays<QComboBox>("cbTreatment"), QStringLiteral("kein Verkehr"));
        Click(InDays<QPushButton>("btAddSpecialDay"));
        QCOMPARE(Items(InDays<QListWidget>("lbSpecialDays")),
                 QStringList({"2026-12-24  wie Samstag", "2026-12-31  kein Verkehr"}));

        // Refused entries: a message, nothing added
        ReplaceText(InDays<QLineEdit>("leSpecialDates"), QStringLiteral("2026-12-31..2026-12-01"));
        Click(InDays<QPushButton>("btAddSpecialDay"));
        QVERIFY(LastMessageHas(*fx, QStringLiteral("endet vor seinem Beginn")));
        QCOMPARE(Items(InDays<QListWidget>("lbSpecialDays")).size(), 2);
        fx->dialogs->setNextFileName(fx->path("demo/stations.csv"));
        Click(InDays<QPushButton>("btImportIcs"));
        QVERIFY(LastMessageHas(*fx, QStringLiteral("keine iCalendar-Datei")));
        QCOMPARE(Items(InDays<QListWidget>("lbSchoolHolidays")).size(), 7);

        // A holiday that does not exist stops the save; the file stays as it was
        const QByteArray before = ReadBytes(fx->path("demo/demo.zpr"));
        ReplaceText(InDays<QLineEdit>("leExtraHolidays"), QStringLiteral("2027-02-29"));
        Click(Button("btSave"));
        QVERIFY(LastMessageHas(*fx, QStringLiteral("2027-02-29")));
        QCOMPARE(ReadBytes(fx->path("demo/demo.zpr")), before);
        ReplaceText(InDays<QLineEdit>("leExtraHolidays"), QStringLiteral("2027-06-01"));
        Click(Button("btSave"));
        const QByteArray saved = ReadBytes(fx->path("demo/demo.zpr"));
        QVERIFY2(
            saved.contains("[calendar]\r\nland=SN\r\nholidays=2027-06-01\r\n"
                           "school_holiday_1=2026-02-09..2026-02-21 Winterferien Sachsen 2026\r\n"),
            saved.constData());
        QVERIFY(saved.contains("school_holiday_7=2027-10-11..2027-10-23 Herbstferien\r\n"));
        QVERIFY(saved.contains("special_day_1=2026-12-24 as-saturday\r\n"
                               "special_day_2=2026-12-31 none\r\n"));
        QCOMPARE(OpenProject().PrjParams.Calendar.Land, std::string("SN"));
        QVERIFY(!QFile::exists(fx->path("demo/footnotes.ini")));

        // Removed and discarded: the page shows the saved state again
        InDays<QListWidget>("lbSchoolHolidays")->setCurrentRow(0);
        Click(InDays<QPushButton>("btDeleteSchoolHoliday"));
        QCOMPARE(Items(InDays<QListWidget>("lbSchoolHolidays")).size(), 6);
        Click(Button("btCancel"));
        QCOMPARE(Items(InDays<QListWidget>("lbSchoolHolidays")).size(), 7);
        QCOMPARE(ReadBytes(fx->path("demo/demo.zpr")), saved);
    }

    void footnotesAreAddedChangedAndKeptWhileJourneysCarryThem() {
        ShowPage(NotesPage());
        ReplaceText(InNotes<QLineEdit>("leFootnoteSymbol"), QStringLiteral("S"));
        ReplaceText(InNotes<QLineEdit>("leFootnoteText"), QStringLiteral("nur an Schultagen"));
        Choose(InNotes<QComboBox>("cbFootnoteDays"), QStringLiteral("nur an Schultagen"));
        ReplaceText(InNotes<QLineEdit>("leFootnoteNot"), QStringLiteral("2026-12-22"));
        Click(InNotes<QPushButton>("btTakeFootnote"));
        ReplaceText(InNotes<QLineEdit>("leFootnoteSymbol"), QStringLiteral("F"));
        ReplaceText(InNotes<QLineEdit>("leFootnoteText"), QStringLiteral("nur in den Ferien"));
        Choose(InNotes<QComboBox>("cbFootnoteDays"), QStringLiteral("nur an Ferientagen"));
        ReplaceText(InNotes<QLineEdit>("leFootnoteNot"), QString());
        Click(InNotes<QPushButton>("btTakeFootnote"));
        QCOMPARE(Items(InNotes<QListWidget>("lbFootnotes")),
                 QStringList({"S  nur an Schultagen  (nur an Schultagen, nicht am 22.12.2026)",
                              "F  nur in den Ferien  (nur an Ferientagen)"}));
        // A symbol with a blank is refused; the same symbol again replaces
        ReplaceText(InNotes<QLineEdit>("leFootnoteSymbol"), QStringLiteral("a b"));
        Click(InNotes<QPushButton>("btTakeFootnote"));
        QVERIFY(LastMessageHas(*fx, QStringLiteral("Leerzeichen")));
        QCOMPARE(Items(InNotes<QListWidget>("lbFootnotes")).size(), 2);
        ClickRow(InNotes<QListWidget>("lbFootnotes"), 0);
        QCOMPARE(InNotes<QLineEdit>("leFootnoteNot")->text(), QStringLiteral("2026-12-22"));
        ReplaceText(InNotes<QLineEdit>("leFootnoteText"), QStringLiteral("Schultage"));
        Click(InNotes<QPushButton>("btTakeFootnote"));
        QCOMPARE(Items(InNotes<QListWidget>("lbFootnotes")).size(), 2);
        Click(Button("btSave"));
        const TFootnoteList saved = LoadFootnotes(fx->path("demo").toStdString());
        QCOMPARE(saved.size(), std::size_t(2));
        QCOMPARE(saved[0].Text, std::string("Schultage"));
        QCOMPARE(saved[1].Days, TFootnoteDays::SchoolHolidays);

        // A footnote that a journey carries is not deleted
        TTimetableFile file(TimetablePath(fx->path("demo").toStdString(), "1"));
        file.WriteJourneyMarks("1_Mo-Fr", {{"F", false}});
        file.Save();
        ClickRow(InNotes<QListWidget>("lbFootnotes"), 1);
        Click(InNotes<QPushButton>("btDeleteFootnote"));
        QVERIFY(LastMessageHas(*fx, QStringLiteral("tragen noch 1 Fahrten")));
        QCOMPARE(Items(InNotes<QListWidget>("lbFootnotes")).size(), 2);
        ClickRow(InNotes<QListWidget>("lbFootnotes"), 0);
        Click(InNotes<QPushButton>("btDeleteFootnote"));
        Click(Button("btSave"));
        QCOMPARE(LoadFootnotes(fx->path("demo").toStdString()).size(), std::size_t(1));
    }

  private:
    std::unique_ptr<GuiFixture> fx;
};

TAKTON_GUI_TEST_MAIN(CalendarPagesTest)
#include "test_calendar_pages.moc"
