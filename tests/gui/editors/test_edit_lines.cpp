// The lines editor as a planner works it: creating, renaming and deleting
// lines with the cascade into routes, reverse index and timetable files, the
// read-only station display, the vehicle type of a line, the refusals and the
// refused closing.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "gui/editors/edit_lines.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

class EditLinesTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        project = fx->path("netz/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=45"}));
        WriteBytes(file("stations.csv"), IniText({"Au", "Berg", "Zoo"}));
        // Read unsorted; the editor shows and writes the lines sorted.
        WriteBytes(file("lines.csv"), IniText({"S1", "Bus12", "bus7"}));
        WriteBytes(file("line_stations.csv"), IniText({"S1=Zoo,Au,Berg", "bus7=Au"}));
        WriteBytes(file("station_lines.csv"), IniText({"Zoo=S1", "Au=S1,bus7", "Berg=S1"}));
        timetable = IniText({"[1_Mo-Fr]", "1=Zoo,06:00", "2=Au,06:05", "3=Berg,06:09"});
        WriteBytes(file("line_S1.ttd"), timetable);
        fmMain->show();
        fmMain->OpenFromCommandLine(project);
        fmEditLines->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmEditLines));
    }
    void cleanup() { fx.reset(); }

    void stationDisplayShowsTheRouteOfTheLineBeingChanged() {
        // Shown in natural order; the file keeps alphabetical order.
        QCOMPARE(Items(Control<QListWidget>(fmEditLines, "lbLines")),
                 QStringList({"bus7", "Bus12", "S1"}));
        QVERIFY(Control<QGroupBox>(fmEditLines, "gbLineEdit")->isHidden());

        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S1"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        QCOMPARE(Control<QLineEdit>(fmEditLines, "leLineName")->text(), QString("S1"));
        QCOMPARE(Control<QLabel>(fmEditLines, "Label2")->text(), QString("Stationen:"));
        QCOMPARE(Items(Control<QListWidget>(fmEditLines, "lbLineStations")),
                 QStringList({"Zoo", "Au", "Berg"}));
        QVERIFY(!Control<QListWidget>(fmEditLines, "lbLineStations")->isEnabled());
        QVERIFY(!Control<QPushButton>(fmEditLines, "btSave")->isVisible());
        QVERIFY(!Control<QListWidget>(fmEditLines, "lbLines")->isEnabled());
        for (QPushButton *button : {Control<QPushButton>(fmEditLines, "btNewLine"),
                                    Control<QPushButton>(fmEditLines, "btLineEdit"),
                                    Control<QPushButton>(fmEditLines, "btLineDelete"),
                                    Control<QPushButton>(fmEditLines, "btClose")})
            QVERIFY(button->isHidden());
        Click(Control<QPushButton>(fmEditLines, "btCancel"));
        QVERIFY(Control<QPushButton>(fmEditLines, "btClose")->isVisible());

        // A line without a route shows no stations, not those of the line
        // shown before.
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "Bus12"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        QCOMPARE(Items(Control<QListWidget>(fmEditLines, "lbLineStations")), QStringList());
        Click(Control<QPushButton>(fmEditLines, "btCancel"));
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S1"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        Click(Control<QPushButton>(fmEditLines, "btCancel"));
        // A new line has no stations either.
        Click(Control<QPushButton>(fmEditLines, "btNewLine"));
        QCOMPARE(Items(Control<QListWidget>(fmEditLines, "lbLineStations")), QStringList());
        QCOMPARE(SelectedItems(Control<QListWidget>(fmEditLines, "lbLines")), QStringList());
        QCOMPARE(Control<QLineEdit>(fmEditLines, "leLineName")->text(), QString());
        QCOMPARE(QApplication::focusWidget(), Control<QLineEdit>(fmEditLines, "leLineName"));
    }

    void creatingKeepsTheFileSortedAndRefusesDuplicatesAndBadNames() {
        Click(Control<QPushButton>(fmEditLines, "btNewLine"));
        QTest::keyClick(Control<QLineEdit>(fmEditLines, "leLineName"),
                        Qt::Key_Return); // save hidden: nothing
        TypeText(Control<QLineEdit>(fmEditLines, "leLineName"), "a2");
        QTest::keyClick(Control<QLineEdit>(fmEditLines, "leLineName"), Qt::Key_Return);
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"a2", "Bus12", "bus7", "S1"}));
        QVERIFY(Control<QGroupBox>(fmEditLines, "gbLineEdit")->isHidden());
        QCOMPARE(Control<QLineEdit>(fmEditLines, "leLineName")->text(), QString());
        QCOMPARE(QApplication::focusWidget(), Control<QPushButton>(fmEditLines, "btNewLine"));

        Click(Control<QPushButton>(fmEditLines, "btNewLine"));
        TypeText(Control<QLineEdit>(fmEditLines, "leLineName"), "BUS7");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(fx->dialogs->messages(), QStringList({"Linie schon vorhanden!"}));
        QCOMPARE(Control<QLineEdit>(fmEditLines, "leLineName")->text(), QString("BUS7"));
        QVERIFY(Control<QGroupBox>(fmEditLines, "gbLineEdit")->isVisible());

        // A line names its timetable file: path characters are refused.
        fx->dialogs->clearLog();
        ReplaceText(Control<QLineEdit>(fmEditLines, "leLineName"), "S1/S2");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(fx->dialogs->messages().size(), 1);
        QVERIFY(fx->dialogs->messages().first().contains("Fahrplandatei"));
        QCOMPARE(Control<QLineEdit>(fmEditLines, "leLineName")->text(), QString("S1/S2"));
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"a2", "Bus12", "bus7", "S1"}));

        QVERIFY(!fmEditLines->close());
        QVERIFY(fmEditLines->isVisible());
        QTest::keyClick(Control<QLineEdit>(fmEditLines, "leLineName"), Qt::Key_Escape);
        QVERIFY(Control<QGroupBox>(fmEditLines, "gbLineEdit")->isHidden());
        QVERIFY(fmEditLines->close());
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"a2", "Bus12", "bus7", "S1"}));
    }

    void renamingCarriesTheLineIntoRoutesAndItsTimetable() {
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S1"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        ReplaceText(Control<QLineEdit>(fmEditLines, "leLineName"), "S11");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"Bus12", "bus7", "S11"}));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"S11=Zoo,Au,Berg", "bus7=Au"}));
        QCOMPARE(ReadBytes(file("station_lines.csv")),
                 IniText({"Zoo=S11", "Au=S11,bus7", "Berg=S11"}));
        QVERIFY(!QFile::exists(file("line_S1.ttd")));
        QCOMPARE(ReadBytes(file("line_S11.ttd")), timetable);
        QCOMPARE(SelectedItems(Control<QListWidget>(fmEditLines, "lbLines")), QStringList({"S11"}));

        // The name unchanged: nothing is written.
        QVERIFY(QFile::remove(file("station_lines.csv")));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        TypeText(Control<QLineEdit>(fmEditLines, "leLineName"), "x");
        QTest::keyClick(Control<QLineEdit>(fmEditLines, "leLineName"), Qt::Key_Backspace);
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QVERIFY(!QFile::exists(file("station_lines.csv")));
        QVERIFY(Control<QGroupBox>(fmEditLines, "gbLineEdit")->isHidden());

        // Onto another line's name: refused, nothing written.
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        ReplaceText(Control<QLineEdit>(fmEditLines, "leLineName"), "bus12");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(fx->dialogs->messages(), QStringList({"Linie schon vorhanden!"}));
        QVERIFY(Control<QGroupBox>(fmEditLines, "gbLineEdit")->isVisible());
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"Bus12", "bus7", "S11"}));
        QVERIFY(QFile::exists(file("line_S11.ttd")));
    }

    void aStrayTimetableUnderTheNewNameStopsTheRename() {
        WriteBytes(file("line_S2.ttd"), IniText({"[1_So]"}));
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S1"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        ReplaceText(Control<QLineEdit>(fmEditLines, "leLineName"), "S2");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(fx->dialogs->messages().size(), 1);
        QVERIFY(fx->dialogs->messages().first().contains("line_S2.ttd"));
        QVERIFY(Control<QGroupBox>(fmEditLines, "gbLineEdit")->isVisible());
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"S1", "Bus12", "bus7"}));
        QCOMPARE(ReadBytes(file("line_S1.ttd")), timetable);
        QCOMPARE(ReadBytes(file("line_S2.ttd")), IniText({"[1_So]"}));
    }

    void deletingAsksWithTheOldQuestionAndCarriesThrough() {
        Click(Control<QPushButton>(fmEditLines, "btLineDelete"));
        QVERIFY(fx->dialogs->log().isEmpty());

        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S1"));
        Click(Control<QPushButton>(fmEditLines, "btLineDelete")); // the double answers "Nein"
        // The question names what goes with the line.
        QCOMPARE(fx->dialogs->log(),
                 QStringList({"confirm:Bestätigung:Möchten Sie die Line S1 wirklich löschen?\n"
                              "Mit ihr gehen verloren: ihre Route mit 3 Stationen und ihre "
                              "Fahrpläne (line_S1.ttd)"}));
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"S1", "Bus12", "bus7"}));
        QVERIFY(QFile::exists(file("line_S1.ttd")));

        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(fmEditLines, "btLineDelete"));
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"Bus12", "bus7"}));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"bus7=Au"}));
        QCOMPARE(ReadBytes(file("station_lines.csv")), IniText({"Au=bus7"}));
        QVERIFY(!QFile::exists(file("line_S1.ttd")));
        QCOMPARE(Items(Control<QListWidget>(fmEditLines, "lbLines")),
                 QStringList({"bus7", "Bus12"}));
        QVERIFY(fx->dialogs->messages().isEmpty());
    }

    void deleteKeyRemovesTheExactLineSelectedNotOneDifferingInCase() {
        // GIVEN "s1" beside "S1" (hand-edited), each with its own timetable
        WriteBytes(file("lines.csv"), IniText({"S1", "s1", "10", "2"}));
        WriteBytes(file("line_stations.csv"), IniText({"S1=Zoo,Au,Berg", "s1=Au"}));
        WriteBytes(file("station_lines.csv"), IniText({"Zoo=S1", "Au=S1,s1", "Berg=S1"}));
        WriteBytes(file("line_s1.ttd"), IniText({"[1_Sa]", "1=Au,07:00"}));
        fmEditLines->hide();
        fmEditLines->show();
        QCOMPARE(Items(Control<QListWidget>(fmEditLines, "lbLines")),
                 QStringList({"2", "10", "S1", "s1"}));

        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "s1"));
        fx->dialogs->setNextAnswer(Answer::Yes);
        QTest::keyClick(Control<QListWidget>(fmEditLines, "lbLines"), Qt::Key_Delete);
        QCOMPARE(fx->dialogs->log(),
                 QStringList({"confirm:Bestätigung:Möchten Sie die Line s1 wirklich löschen?\n"
                              "Mit ihr gehen verloren: ihre Route mit 1 Station und ihre "
                              "Fahrpläne (line_s1.ttd)"}));
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"10", "2", "S1"}));
        QCOMPARE(ReadBytes(file("line_S1.ttd")), timetable);
        QVERIFY(!QFile::exists(file("line_s1.ttd")));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"S1=Zoo,Au,Berg"}));
        QCOMPARE(ReadBytes(file("station_lines.csv")), IniText({"Zoo=S1", "Au=S1", "Berg=S1"}));

        // A double-click starts "Ändern"; blanks around the new name go
        DoubleClickRow(Control<QListWidget>(fmEditLines, "lbLines"), 0);
        QVERIFY(Control<QGroupBox>(fmEditLines, "gbLineEdit")->isVisible());
        ReplaceText(Control<QLineEdit>(fmEditLines, "leLineName"), " 3 ");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QVERIFY(fx->dialogs->messages().isEmpty());
        QCOMPARE(ReadBytes(file("lines.csv")), IniText({"10", "3", "S1"}));
    }

    void aLinesVehicleTypeIsStoredAndFollowsRenameAndDelete() {
        // Nothing chosen: no file appears.
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "bus7"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        QCOMPARE(Control<QComboBox>(fmEditLines, "cbRouteType")->currentText(),
                 QString("wie im Projekt (Bus)"));
        TypeText(Control<QLineEdit>(fmEditLines, "leLineName"), "x");
        QTest::keyClick(Control<QLineEdit>(fmEditLines, "leLineName"), Qt::Key_Backspace);
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QVERIFY(!QFile::exists(file("line_data.csv")));

        // Chosen by the keyboard: stored under the line's name.
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S1"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        ChooseType("Eisenbahn");
        QVERIFY(Control<QPushButton>(fmEditLines, "btSave")->isVisible());
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(ReadBytes(file("line_data.csv")), IniText({"S1=2"}));
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "Bus12"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        ChooseType("Oberleitungsbus");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(ReadBytes(file("line_data.csv")), IniText({"S1=2", "Bus12=11"}));

        // Shown again when the line is edited; the project's type is named.
        OpenProject().PrjParams.Publishing.RouteType = 0;
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S1"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        QCOMPARE(Control<QComboBox>(fmEditLines, "cbRouteType")->currentText(),
                 QString("Eisenbahn"));
        QCOMPARE(Control<QComboBox>(fmEditLines, "cbRouteType")->itemText(0),
                 QString("wie im Projekt (Straßenbahn)"));

        // Renamed: the entry follows the line.
        ReplaceText(Control<QLineEdit>(fmEditLines, "leLineName"), "S11");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(ReadBytes(file("line_data.csv")), IniText({"Bus12=11", "S11=2"}));
        // A refused rename keeps the entry where it was.
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S11"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        ReplaceText(Control<QLineEdit>(fmEditLines, "leLineName"), "bus7");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(fx->dialogs->messages(), QStringList({"Linie schon vorhanden!"}));
        Click(Control<QPushButton>(fmEditLines, "btCancel"));
        QCOMPARE(ReadBytes(file("line_data.csv")), IniText({"Bus12=11", "S11=2"}));

        // Back to the project's type: the entry goes.
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "Bus12"));
        Click(Control<QPushButton>(fmEditLines, "btLineEdit"));
        ChooseType("wie im Projekt (Straßenbahn)");
        Click(Control<QPushButton>(fmEditLines, "btSave"));
        QCOMPARE(ReadBytes(file("line_data.csv")), IniText({"S11=2"}));

        // Deleted: the entry goes with the line, not when the planner says no.
        QVERIFY(ClickItem(Control<QListWidget>(fmEditLines, "lbLines"), "S11"));
        Click(Control<QPushButton>(fmEditLines, "btLineDelete"));
        QCOMPARE(ReadBytes(file("line_data.csv")), IniText({"S11=2"}));
        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(fmEditLines, "btLineDelete"));
        QCOMPARE(ReadBytes(file("line_data.csv")), QByteArray());
        QCOMPARE(Items(Control<QListWidget>(fmEditLines, "lbLines")),
                 QStringList({"bus7", "Bus12"}));
    }

  private:
    void ChooseType(const QString &name) {
        QComboBox *box = Control<QComboBox>(fmEditLines, "cbRouteType");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < box->count() && box->currentText() != name; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentText(), name);
    }

    QString file(const char *name) const { return fx->path(QStringLiteral("netz/") + name); }

    std::unique_ptr<GuiFixture> fx;
    QString project;
    QByteArray timetable;
};

TAKTON_GUI_TEST_MAIN(EditLinesTest)

#include "test_edit_lines.moc"
