// The project options window: adding day groups with its refusals, the
// minute field's filter, saving and discarding, and the refresh on every load.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "core/model/prj_load.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "gui/editors/edit_project.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace takton;
using namespace takton::gui;
using takton::testing::Control;
using takton::testing::GuiFixture;
using takton::testing::IniText;
using takton::testing::Items;
using takton::testing::ReadBytes;
using takton::testing::ReplaceText;
using takton::testing::WriteBytes;

namespace {

void ClickDay(int index) {
    QListWidget *list = Control<QListWidget>(fmEditProject, "lbAllDays");
    const QRect rect = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void ShiftClickDay(int index) {
    QListWidget *list = Control<QListWidget>(fmEditProject, "lbAllDays");
    const QRect rect = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, rect.center());
}

// Adds a day group the way a planner does: name, text, weekdays, the button.
void AddDayGroup(const QString &name, const QString &text, std::initializer_list<int> days) {
    Control<QListWidget>(fmEditProject, "lbAllDays")->clearSelection();
    ReplaceText(Control<QLineEdit>(fmEditProject, "leNewDaysName"), name);
    ReplaceText(Control<QLineEdit>(fmEditProject, "leNewDaysText"), text);
    for (int day : days)
        ClickDay(day);
    QTest::mouseClick(Control<QPushButton>(fmEditProject, "btAddDayGroup"), Qt::LeftButton);
}

// Types a date into the field the way a planner does: its check box first,
// then day, month and year from the first section, each section moving on
// to the next once full.
void TypeDate(QCheckBox *box, QDateEdit *field, const QString &date) {
    if (!box->isChecked())
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    field->setFocus();
    field->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(field, date);
}

void ChooseRouteType(QComboBox *box, const QString &name) {
    box->setFocus();
    // Home, then down the list until the name shows, as the keyboard chooses.
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < box->count() && box->currentText() != name; ++i)
        QTest::keyClick(box, Qt::Key_Down);
}

} // namespace

class EditProjectTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        project = fx->path("netz/netz.zpr");
        WriteBytes(project, IniText({"[daygroups]", "daygroupnames=Mo-Fr,Sa", "Mo-Fr_text=Werktag",
                                     "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday",
                                     "Sa_text=Samstag", "Sa_days=saturday", "[timetable]",
                                     "max_drive_minutes=45"}));
        fmMain->show();
        fmMain->OpenFromCommandLine(project);
        fmEditProject->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmEditProject));
    }
    void cleanup() { fx.reset(); }

    void withoutDayGroupsTheRightColumnIsEmpty() {
        OpenProject().PrjParams.DayGroups.clear();
        fmEditProject->SetDayGroups();
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->count(), 0);
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->currentIndex(), -1);
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leDayGroupText")->text(), QString());
        QCOMPARE(Control<QListWidget>(fmEditProject, "lbDayGroups")->count(), 0);
    }

    void opensOnTheDayGroupPageThenOnThePageLastChosen() {
        QCOMPARE(Control<QTabWidget>(fmEditProject, "pcRubrik")->currentWidget(),
                 Control<QWidget>(fmEditProject, "tsDays"));
        QStringList pages;
        for (int i = 0; i < Control<QTabWidget>(fmEditProject, "pcRubrik")->count(); ++i)
            pages << Control<QTabWidget>(fmEditProject, "pcRubrik")->tabText(i);
        QCOMPARE(pages, QStringList({"Stationen", "Linien", "Tag-Gruppen", "Fahrplan",
                                     "Veröffentlichung", "Betriebstage", "Fußnoten"}));
        // The station data group is part of its page; the overlap field stays hidden.
        QVERIFY(!Control<QGroupBox>(fmEditProject, "gbStationFields")->isHidden());
        QVERIFY(Control<QLineEdit>(fmEditProject, "leMaxOverlapMinutes")->isHidden());
        Control<QTabWidget>(fmEditProject, "pcRubrik")
            ->setCurrentWidget(Control<QWidget>(fmEditProject, "tsTimeTable"));
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btClose"), Qt::LeftButton);
        QVERIFY(!fmEditProject->isVisible());
        fmEditProject->show();
        QCOMPARE(Control<QTabWidget>(fmEditProject, "pcRubrik")->currentWidget(),
                 Control<QWidget>(fmEditProject, "tsTimeTable"));
    }

    void refusedDayGroupsChangeNothing() {
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        AddDayGroup("", "Sonntag", {6});   // no name
        AddDayGroup("So", "", {6});        // no text
        AddDayGroup("So", "Samstag", {6}); // text of Sa
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t(2));
        QVERIFY(fx->dialogs->log().isEmpty());
        // A name there is already is said, also when it differs only in
        // case: it would share the file's keys with "Sa".
        AddDayGroup("Mo-Fr", "Arbeitstag", {0});
        AddDayGroup("sa", "Sonnabend", {5});
        QCOMPARE(fx->dialogs->messages(),
                 QStringList({"Tagesgruppe schon vorhanden!", "Tagesgruppe schon vorhanden!"}));
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t(2));
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->count(), 2);
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        fx->dialogs->clearLog();

        // A name that would split in the project file, or that code page
        // 1252 cannot hold, gets a message.
        AddDayGroup("So,Fei", "Sonn- und Feiertag", {6});
        AddDayGroup("Łódź", "Sonntag in Łódź", {6});
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t(2));
        QCOMPARE(fx->dialogs->messages().size(), 2);
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());

        // Without a weekday the planner is told that one is needed.
        fx->dialogs->clearLog();
        AddDayGroup("So", "Sonntag", {});
        QCOMPARE(fx->dialogs->messages(),
                 QStringList({"Bitte wählen Sie mindestens einen Wochentag aus."}));
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t(2));
    }

    void shiftClickSelectsARangeOfWeekdays() {
        QListWidget *days = Control<QListWidget>(fmEditProject, "lbAllDays");
        days->clearSelection();
        // Monday, then Shift on Friday: Monday to Friday
        ClickDay(0);
        ShiftClickDay(4);
        QCOMPARE(takton::testing::SelectedItems(days),
                 QStringList({"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag"}));
        // A plain click still toggles one day; Shift upwards adds the range
        ClickDay(2);
        QCOMPARE(takton::testing::SelectedItems(days).size(), 4);
        ClickDay(6);
        ShiftClickDay(5);
        QCOMPARE(
            takton::testing::SelectedItems(days),
            QStringList({"Montag", "Dienstag", "Donnerstag", "Freitag", "Sonnabend", "Sonntag"}));
        // The group takes the days so chosen
        ReplaceText(Control<QLineEdit>(fmEditProject, "leNewDaysName"), "Alle");
        ReplaceText(Control<QLineEdit>(fmEditProject, "leNewDaysText"), "fast täglich");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btAddDayGroup"), Qt::LeftButton);
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t(3));
        QCOMPARE(
            Items(Control<QListWidget>(fmEditProject, "lbDayGroups")),
            QStringList({"Montag", "Dienstag", "Donnerstag", "Freitag", "Sonnabend", "Sonntag"}));
    }

    void renamingAndDeletingADayGroupReachEveryTimetable() {
        WriteBytes(file("line_1.ttd"), IniText({"[1_Mo-Fr]", "1=A,05:00", "[1_Sa]", "1=A,06:00",
                                                "[2_Sa]", "1=A,07:00"}));
        WriteBytes(file("line_2.ttd"), IniText({"[2_Sa]", "1=B,08:00"}));
        WriteBytes(file("line_3.ttd"), IniText({"[1_Mo-Fr]", "1=C,09:00"}));
        TfmEditProject *w = fmEditProject;
        QComboBox *box = Control<QComboBox>(w, "cbDayGroups");

        // Text typed into the box that names no group is no group to act on
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "Samstage");
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        ReplaceText(Control<QLineEdit>(w, "leRenameDayGroup"), "Sonnabend");
        QTest::mouseClick(Control<QPushButton>(w, "btRenameDayGroup"), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(w, "btDeleteDayGroup"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->messages(),
                 QStringList({"Bitte wählen Sie eine vorhandene Tag-Gruppe aus.",
                              "Bitte wählen Sie eine vorhandene Tag-Gruppe aus."}));
        QCOMPARE(OpenProject().PrjParams.DayGroups[1].Name, std::string("Sa"));
        QVERIFY(ReadBytes(file("line_1.ttd")).contains("[1_Sa]"));

        // WHEN Sa is chosen and renamed THEN the project file and the
        // sections of every timetable carry the new name
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "Sa");
        QCOMPARE(Control<QLineEdit>(w, "leDayGroupText")->text(), QString("Samstag"));
        QTest::mouseClick(Control<QPushButton>(w, "btRenameDayGroup"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->messages().size(), 2);
        QCOMPARE(ReadBytes(file("line_1.ttd")),
                 IniText({"[1_Mo-Fr]", "1=A,05:00", "[1_Sonnabend]", "1=A,06:00", "[2_Sonnabend]",
                          "1=A,07:00"}));
        QCOMPARE(ReadBytes(file("line_2.ttd")), IniText({"[2_Sonnabend]", "1=B,08:00"}));
        QVERIFY(ReadBytes(project).contains("daygroupnames=Mo-Fr,Sonnabend\r\n"));
        QCOMPARE(box->currentText(), QString("Sonnabend"));

        // WHEN it is deleted THEN the question names how many timetables
        // lose a section; "Nein" keeps everything, "Ja" removes them
        fx->dialogs->clearLog();
        QTest::mouseClick(Control<QPushButton>(w, "btDeleteDayGroup"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->log(),
                 QStringList({"confirm:Bestätigung:Möchten Sie die Tag-Gruppe Sonnabend wirklich "
                              "löschen?\n2 Fahrpläne verlieren ihren Abschnitt dieser "
                              "Tag-Gruppe."}));
        QVERIFY(ReadBytes(file("line_2.ttd")).contains("[2_Sonnabend]"));
        fx->dialogs->setNextAnswer(Answer::Yes);
        QTest::mouseClick(Control<QPushButton>(w, "btDeleteDayGroup"), Qt::LeftButton);
        QCOMPARE(ReadBytes(file("line_1.ttd")), IniText({"[1_Mo-Fr]", "1=A,05:00"}));
        QCOMPARE(ReadBytes(file("line_2.ttd")), QByteArray());
        QCOMPARE(ReadBytes(file("line_3.ttd")), IniText({"[1_Mo-Fr]", "1=C,09:00"}));
        QVERIFY(ReadBytes(project).contains("daygroupnames=Mo-Fr\r\n"));
        QCOMPARE(box->count(), 1);
        QCOMPARE(box->itemText(0), QString("Mo-Fr"));
    }

    void discardingPutsTheStoredMinutesBackAndMinimisingKeepsAnEdit() {
        TfmEditProject *w = fmEditProject;
        Control<QTabWidget>(w, "pcRubrik")->setCurrentWidget(Control<QWidget>(w, "tsTimeTable"));
        QLineEdit *minutes = Control<QLineEdit>(w, "leMaxDriveMinutes");
        minutes->setFocus();
        minutes->end(false);
        QTest::keyClicks(minutes, "0");
        QVERIFY(Control<QPushButton>(w, "btSave")->isVisible());
        // WHEN the program is minimised and restored THEN the edit can still be saved
        w->showMinimized();
        w->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(Control<QPushButton>(w, "btSave")->isVisible());
        QCOMPARE(minutes->text(), QString("450"));
        // "Änderungen verwerfen" puts the stored value back
        QTest::mouseClick(Control<QPushButton>(w, "btCancel"), Qt::LeftButton);
        QCOMPARE(minutes->text(), QString("45"));
        QVERIFY(!Control<QPushButton>(w, "btSave")->isVisible());
    }

    void addedGroupListsItsDaysInWeekdayOrder() {
        AddDayGroup("MiFr", "Montag, Mittwoch, Freitag", {4, 2, 0});
        QCOMPARE(OpenProject().PrjParams.DayGroups.size(), std::size_t(3));
        const TDayGroupItem &added = OpenProject().PrjParams.DayGroups.back();
        QCOMPARE(QString::fromStdString(added.Name), QString("MiFr"));
        QCOMPARE(int(added.Days), 0b10101);
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->count(), 3);
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->currentText(), QString("MiFr"));
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leDayGroupText")->text(),
                 QString("Montag, Mittwoch, Freitag"));
        QCOMPARE(Items(Control<QListWidget>(fmEditProject, "lbDayGroups")),
                 QStringList({"Montag", "Mittwoch", "Freitag"}));
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        // The left fields keep what was typed.
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leNewDaysName")->text(), QString("MiFr"));

        // Choosing a group in the box shows it; typed text that names a group
        // in any case shows that group, other text shows none.
        Control<QComboBox>(fmEditProject, "cbDayGroups")->setCurrentIndex(1);
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leDayGroupText")->text(), QString("Samstag"));
        QCOMPARE(Items(Control<QListWidget>(fmEditProject, "lbDayGroups")),
                 QStringList({"Sonnabend"}));
        Control<QComboBox>(fmEditProject, "cbDayGroups")->lineEdit()->selectAll();
        QTest::keyClicks(Control<QComboBox>(fmEditProject, "cbDayGroups")->lineEdit(), "mo-fr");
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leDayGroupText")->text(), QString("Werktag"));
        QCOMPARE(Control<QListWidget>(fmEditProject, "lbDayGroups")->count(), 5);
        QTest::keyClicks(Control<QComboBox>(fmEditProject, "cbDayGroups")->lineEdit(), "x");
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leDayGroupText")->text(), QString());
        QCOMPARE(Control<QListWidget>(fmEditProject, "lbDayGroups")->count(), 0);
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->count(), 3);
    }

    void minuteFieldTakesDigitsOnly() {
        Control<QTabWidget>(fmEditProject, "pcRubrik")
            ->setCurrentWidget(Control<QWidget>(fmEditProject, "tsTimeTable"));
        QLineEdit *minutes = Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes");
        QCOMPARE(minutes->text(), QString("45"));
        minutes->setFocus();
        minutes->end(false);
        QTest::keyClicks(minutes, "a-");
        QCOMPARE(minutes->text(), QString("45"));
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        QTest::keyClicks(minutes, "5");
        QCOMPARE(minutes->text(), QString("455"));
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        // Escape discards the editing mode like "Änderungen verwerfen" and
        // leaves the window open.
        QTest::keyClick(fmEditProject, Qt::Key_Escape);
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        QVERIFY(fmEditProject->isVisible());
        QCOMPARE(minutes->text(), QString("45"));
        QTest::keyClick(minutes, Qt::Key_Backspace);
        QCOMPARE(minutes->text(), QString("4"));
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
    }

    void savingWritesMinutesAndGroupsAndRefusesNonNumbers() {
        AddDayGroup("So", "Sonntag", {6});
        Control<QTabWidget>(fmEditProject, "pcRubrik")
            ->setCurrentWidget(Control<QWidget>(fmEditProject, "tsTimeTable"));
        ReplaceText(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes"), "90");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        const QByteArray saved = ReadBytes(project);
        QVERIFY(saved.contains("daygroupnames=Mo-Fr,Sa,So\r\n"));
        QVERIFY(saved.contains("So_text=Sonntag\r\nSo_days=sunday\r\n"));
        QVERIFY(saved.contains("max_drive_minutes=90\r\n"));
        QCOMPARE(OpenProject().PrjParams.MaxDriveMinutes, 90);
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());

        // Empty: refused with a message, nothing written.
        ReplaceText(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes"), "");
        QTest::keyClick(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes"), Qt::Key_Backspace);
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->messages().size(), 1);
        QVERIFY(fx->dialogs->messages().first().contains("Fahrzeit"));
        QCOMPARE(ReadBytes(project), saved);
        QCOMPARE(OpenProject().PrjParams.MaxDriveMinutes, 90);
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());

        // Pasted text that is no number: refused the same way.
        QApplication::clipboard()->setText("12a");
        Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes")->setFocus();
        QTest::keyClick(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes"), Qt::Key_V,
                        Qt::ControlModifier);
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes")->text(), QString("12a"));
        QTest::keyClick(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes"), Qt::Key_Return);
        QCOMPARE(fx->dialogs->messages().size(), 2);
        QCOMPARE(ReadBytes(project), saved);
    }

    void minimumChangeTimeIsWrittenOnlyOnceItDiffers() {
        // Saving the default leaves the file without the key.
        Control<QTabWidget>(fmEditProject, "pcRubrik")
            ->setCurrentWidget(Control<QWidget>(fmEditProject, "tsTimeTable"));
        QSpinBox *minutes = Control<QSpinBox>(fmEditProject, "seMinChangeMinutes");
        QCOMPARE(minutes->value(), 2);
        ReplaceText(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes"), "45");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QVERIFY(!ReadBytes(project).contains("min_change_minutes"));

        // Typed: the save button shows, the key is written and read back.
        minutes->setFocus();
        minutes->selectAll();
        QTest::keyClicks(minutes, "5");
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QVERIFY(ReadBytes(project).contains("max_drive_minutes=45\r\nmin_change_minutes=5\r\n"));
        QCOMPARE(OpenProject().PrjParams.MinChangeMinutes, 5);

        // Back to 2: kept in the file, as it is there now.
        minutes->selectAll();
        QTest::keyClicks(minutes, "2");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QVERIFY(ReadBytes(project).contains("min_change_minutes=2\r\n"));

        // Discarding puts the stored value back; loading shows the file's.
        minutes->selectAll();
        QTest::keyClicks(minutes, "7");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btCancel"), Qt::LeftButton);
        QCOMPARE(minutes->value(), 2);
        WriteBytes(project, IniText({"[timetable]", "min_change_minutes=9"}));
        // A load by the editor tells the window.
        LoadProjectFile(project.toStdString(), OpenProject().PrjParams, fmEditProject);
        QCOMPARE(minutes->value(), 9);
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());
    }

    void failedSaveIsReportedAndKeepsTheSaveButton() {
        gui::OpenProject().ProjectFile = fx->path("fehlt/netz.zpr").toStdString();
        QTest::keyClicks(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes"), "0");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->errors().size(), 1);
        QVERIFY(fx->dialogs->errors().first().contains("kann nicht geschrieben werden"));
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        QVERIFY(fmEditProject->isVisible());
    }

    void addedGroupDiscardedIsWrittenByTheMainWindowsSave() {
        fmEditProject->hide();
        fx->dialogs->setNextModalAction([](QDialog &) {
            AddDayGroup("Fei", "Feiertag", {6});
            QTest::mouseClick(Control<QPushButton>(fmEditProject, "btCancel"), Qt::LeftButton);
            QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());
            QTest::mouseClick(Control<QPushButton>(fmEditProject, "btClose"), Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(fmMain, "sbEditProject"), Qt::LeftButton);
        QVERIFY(!fmEditProject->isVisible());
        QVERIFY(!ReadBytes(project).contains("Fei"));
        QTest::mouseClick(Control<QToolButton>(fmMain, "SaveButton"), Qt::LeftButton);
        const QByteArray saved = ReadBytes(project);
        QVERIFY(saved.contains("daygroupnames=Mo-Fr,Sa,Fei\r\n"));
        QVERIFY(saved.contains("Fei_text=Feiertag\r\nFei_days=sunday\r\n"));
        // Each showing starts outside the editing mode.
        fmEditProject->EditOn();
        fmEditProject->show();
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());
    }

    void loadingRefreshesTheWindowOnlyWhenTheFileNamesGroups() {
        const QString other = fx->path("b/b.zpr");
        WriteBytes(other, IniText({"[timetable]", "max_drive_minutes=0x5A"}));
        fmEditProject->hide();
        fmMain->OpenFromCommandLine(other);
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes")->text(), QString("90"));
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->count(), 2);

        const QString third = fx->path("c/c.zpr");
        WriteBytes(third, IniText({"[daygroups]", "daygroupnames=So", "So_days=sunday"}));
        fmMain->OpenFromCommandLine(third);
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->count(), 1);
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbDayGroups")->currentText(), QString("So"));
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leDayGroupText")->text(), QString("So"));
        QCOMPARE(Items(Control<QListWidget>(fmEditProject, "lbDayGroups")),
                 QStringList({"Sonntag"}));
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leMaxDriveMinutes")->text(), QString("720"));
    }

    void publishingOptionsAreTypedSavedAndReadBack() {
        Control<QTabWidget>(fmEditProject, "pcRubrik")
            ->setCurrentWidget(Control<QWidget>(fmEditProject, "tsPublishing"));
        // The defaults of a project that names none.
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leTimezone")->text(), QString("Europe/Berlin"));
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leLanguage")->text(), QString("de"));
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbRouteType")->currentText(), QString("Bus"));
        QVERIFY(!Control<QCheckBox>(fmEditProject, "cbFirstDate")->isChecked());
        QVERIFY(!Control<QDateEdit>(fmEditProject, "deFirstDate")->isEnabled());

        ReplaceText(Control<QLineEdit>(fmEditProject, "leAgencyName"), "Verkehrsbetriebe Süd");
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        ReplaceText(Control<QLineEdit>(fmEditProject, "leAgencyUrl"), "https://vb-sued.example");
        TypeDate(Control<QCheckBox>(fmEditProject, "cbFirstDate"),
                 Control<QDateEdit>(fmEditProject, "deFirstDate"), "01032025");
        TypeDate(Control<QCheckBox>(fmEditProject, "cbLastDate"),
                 Control<QDateEdit>(fmEditProject, "deLastDate"), "31122025");
        ChooseRouteType(Control<QComboBox>(fmEditProject, "cbRouteType"), "Straßenbahn");
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbRouteType")->currentText(),
                 QString("Straßenbahn"));
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QVERIFY(fx->dialogs->messages().isEmpty());

        const QByteArray saved = ReadBytes(project);
        QVERIFY(saved.contains("[publishing]\r\n"));
        QVERIFY(saved.contains("agency_name=Verkehrsbetriebe S\xFC"
                               "d\r\n"));
        QVERIFY(saved.contains("agency_url=https://vb-sued.example\r\n"));
        QVERIFY(saved.contains("first_date=20250301\r\n"));
        QVERIFY(saved.contains("last_date=20251231\r\n"));
        QVERIFY(saved.contains("route_type=0\r\n"));
        // Defaults unchanged are not written.
        QVERIFY(!saved.contains("timezone="));
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());

        // Read back by a fresh load; another project in between shows its own.
        const QString other = fx->path("b/b.zpr");
        WriteBytes(other, IniText({"[publishing]", "route_type=1", "language=en"}));
        fmEditProject->hide();
        fmMain->OpenFromCommandLine(other);
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leAgencyName")->text(), QString());
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbRouteType")->currentText(),
                 QString("U-Bahn"));
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leLanguage")->text(), QString("en"));
        QVERIFY(!Control<QCheckBox>(fmEditProject, "cbLastDate")->isChecked());
        fmMain->OpenFromCommandLine(project);
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leAgencyName")->text(),
                 QString("Verkehrsbetriebe Süd"));
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leAgencyUrl")->text(),
                 QString("https://vb-sued.example"));
        QVERIFY(Control<QCheckBox>(fmEditProject, "cbFirstDate")->isChecked());
        QCOMPARE(Control<QDateEdit>(fmEditProject, "deFirstDate")->date(), QDate(2025, 3, 1));
        QCOMPARE(Control<QDateEdit>(fmEditProject, "deLastDate")->date(), QDate(2025, 12, 31));
        QCOMPARE(Control<QComboBox>(fmEditProject, "cbRouteType")->currentText(),
                 QString("Straßenbahn"));

        // A date unchecked is no date any more.
        fmEditProject->show();
        Control<QTabWidget>(fmEditProject, "pcRubrik")
            ->setCurrentWidget(Control<QWidget>(fmEditProject, "tsPublishing"));
        QTest::mouseClick(Control<QCheckBox>(fmEditProject, "cbLastDate"), Qt::LeftButton, {},
                          QPoint(4, Control<QCheckBox>(fmEditProject, "cbLastDate")->height() / 2));
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QVERIFY(!ReadBytes(project).contains("last_date=2025"));
        QCOMPARE(OpenProject().PrjParams.Publishing.LastDate, std::string());
    }

    void badPublishingOptionsAreRefusedAndDiscardingRestoresThem() {
        Control<QTabWidget>(fmEditProject, "pcRubrik")
            ->setCurrentWidget(Control<QWidget>(fmEditProject, "tsDays"));
        const QByteArray before = ReadBytes(project);
        ReplaceText(Control<QLineEdit>(fmEditProject, "leAgencyUrl"), "www.vb-sued.example");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->messages(),
                 QStringList({"Die Internetadresse muss mit http:// oder https:// beginnen. Es "
                              "wurde nichts gespeichert."}));
        // The entry stays open on the page, at the field.
        QCOMPARE(Control<QTabWidget>(fmEditProject, "pcRubrik")->currentWidget(),
                 Control<QWidget>(fmEditProject, "tsPublishing"));
        QCOMPARE(QApplication::focusWidget(), Control<QLineEdit>(fmEditProject, "leAgencyUrl"));
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        QCOMPARE(ReadBytes(project), before);

        ReplaceText(Control<QLineEdit>(fmEditProject, "leAgencyUrl"), "http://vb-sued.example");
        TypeDate(Control<QCheckBox>(fmEditProject, "cbFirstDate"),
                 Control<QDateEdit>(fmEditProject, "deFirstDate"), "02052025");
        TypeDate(Control<QCheckBox>(fmEditProject, "cbLastDate"),
                 Control<QDateEdit>(fmEditProject, "deLastDate"), "01052025");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->messages().size(), 2);
        QCOMPARE(fx->dialogs->messages().last(),
                 QString("Das Ende des Gültigkeitszeitraums liegt vor seinem Beginn. Es wurde "
                         "nichts gespeichert."));
        QCOMPARE(ReadBytes(project), before);

        ReplaceText(Control<QLineEdit>(fmEditProject, "leTimezone"), "");
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btSave"), Qt::LeftButton);
        QCOMPARE(fx->dialogs->messages().size(), 3);
        QVERIFY(fx->dialogs->messages().last().startsWith("Bitte geben Sie die Zeitzone an"));
        QCOMPARE(QApplication::focusWidget(), Control<QLineEdit>(fmEditProject, "leTimezone"));

        // Discarding puts back what is stored.
        QTest::mouseClick(Control<QPushButton>(fmEditProject, "btCancel"), Qt::LeftButton);
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leAgencyUrl")->text(), QString());
        QCOMPARE(Control<QLineEdit>(fmEditProject, "leTimezone")->text(), QString("Europe/Berlin"));
        QVERIFY(!Control<QCheckBox>(fmEditProject, "cbFirstDate")->isChecked());
        QVERIFY(!Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        QCOMPARE(OpenProject().PrjParams.Publishing, TPublishing{});
    }

  private:
    QString file(const char *name) const { return fx->path(QStringLiteral("netz/") + name); }

    std::unique_ptr<GuiFixture> fx;
    QString project;
};

TAKTON_GUI_TEST_MAIN(EditProjectTest)

#include "test_edit_project.moc"
