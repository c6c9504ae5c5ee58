// The stations editor as a planner works it: creating with and without the
// memo list, renaming (letter case too) and deleting with the cascade into the
// routes, the refusals, the keyboard and the refused closing during an entry.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "core/model/project_check.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "gui/editors/edit_lines.h"
#include "gui/editors/edit_linestations.h"
#include "gui/editors/edit_project.h"
#include "gui/editors/edit_stations.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace takton;
using namespace takton::gui;
using namespace takton::testing;

class EditStationsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        project = fx->path("netz/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=45"}));
        // Read unsorted; the editor shows and writes the stations sorted.
        WriteBytes(file("stations.csv"), IniText({"Zoo", "abtei", "Berg", "Markt"}));
        WriteBytes(file("newstations.csv"), IniText({"Markt", "Berg"}));
        WriteBytes(file("lines.csv"), IniText({"L1"}));
        WriteBytes(file("line_stations.csv"), IniText({"L1=abtei,Markt,Zoo"}));
        WriteBytes(file("station_lines.csv"), IniText({"abtei=L1", "Markt=L1", "Zoo=L1"}));
        fmMain->show();
        fmMain->OpenFromCommandLine(project);
        fmEditStations->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmEditStations));
    }
    void cleanup() { fx.reset(); }

    void opensBrowsingTheSortedList() {
        QCOMPARE(Items(Control<QListWidget>(fmEditStations, "lbStations")),
                 QStringList({"abtei", "Berg", "Markt", "Zoo"}));
        QVERIFY(Control<QListWidget>(fmEditStations, "lbStations")->isEnabled());
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isHidden());
        for (QPushButton *button : {Control<QPushButton>(fmEditStations, "btNewStation"),
                                    Control<QPushButton>(fmEditStations, "btStationEdit"),
                                    Control<QPushButton>(fmEditStations, "btStationDelete"),
                                    Control<QPushButton>(fmEditStations, "btClose")})
            QVERIFY(button->isVisible());
        QCOMPARE(fmEditStations->NewStationList, TStringList({"Markt", "Berg"}));
        // A project that never chose its station fields shows the geo position.
        QVERIFY(Control<QPushButton>(fmEditStations, "btImportData")->isVisible());
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        QVERIFY(Control<QPushButton>(fmEditStations, "btImportData")->isHidden());
        QVERIFY(Control<QLineEdit>(fmEditStations, "leGeoLatitude")->isVisible());
        QVERIFY(Control<QLineEdit>(fmEditStations, "leGeoLongitude")->isVisible());
        QVERIFY(!Control<QLineEdit>(fmEditStations, "leTarifZone")->isVisible());
        QVERIFY(!Control<QLineEdit>(fmEditStations, "leTarifRing")->isVisible());
    }

    void creatingStationsKeepsTheFileSortedAndRefusesDuplicates() {
        const QByteArray memo = ReadBytes(file("newstations.csv"));
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        QVERIFY(!Control<QListWidget>(fmEditStations, "lbStations")->isEnabled());
        for (QPushButton *button : {Control<QPushButton>(fmEditStations, "btNewStation"),
                                    Control<QPushButton>(fmEditStations, "btStationEdit"),
                                    Control<QPushButton>(fmEditStations, "btStationDelete"),
                                    Control<QPushButton>(fmEditStations, "btClose")})
            QVERIFY(button->isHidden());
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        QVERIFY(Control<QCheckBox>(fmEditStations, "cbStationNewLine")->isVisible());
        QVERIFY(!Control<QCheckBox>(fmEditStations, "cbStationNewLineClear")->isVisible());
        QVERIFY(!Control<QPushButton>(fmEditStations, "btSave")->isVisible());
        QCOMPARE(QApplication::focusWidget(), Control<QLineEdit>(fmEditStations, "leStationName"));

        // Enter does nothing while the save button is hidden.
        QTest::keyClick(Control<QLineEdit>(fmEditStations, "leStationName"), Qt::Key_Return);
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());

        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Münster");
        QVERIFY(Control<QPushButton>(fmEditStations, "btSave")->isVisible());
        QTest::keyClick(Control<QLineEdit>(fmEditStations, "leStationName"), Qt::Key_Return);
        QCOMPARE(ReadBytes(file("stations.csv")),
                 IniText({"abtei", "Berg", "Markt", "M\xfcnster", "Zoo"}));
        // Without "für neue Linie merken" the memo list stays as it was.
        QCOMPARE(ReadBytes(file("newstations.csv")), memo);
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isHidden());
        QVERIFY(Control<QPushButton>(fmEditStations, "btClose")->isVisible());
        QVERIFY(Control<QListWidget>(fmEditStations, "lbStations")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), Control<QPushButton>(fmEditStations, "btNewStation"));
        QCOMPARE(Items(Control<QListWidget>(fmEditStations, "lbStations")),
                 QStringList({"abtei", "Berg", "Markt", "Münster", "Zoo"}));

        // The same name in other letter case is refused; the entry stays open
        // with the name as typed.
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        QCOMPARE(Control<QLineEdit>(fmEditStations, "leStationName")->text(), QString());
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "ZOO");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(fx->dialogs->messages(), QStringList({"Station schon vorhanden!"}));
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        QCOMPARE(Control<QLineEdit>(fmEditStations, "leStationName")->text(), QString("ZOO"));
        QCOMPARE(ReadBytes(file("stations.csv")),
                 IniText({"abtei", "Berg", "Markt", "M\xfcnster", "Zoo"}));

        // Names the project files cannot hold get the core's message.
        fx->dialogs->clearLog();
        for (const QString &bad : {QString(" Zoo"), QString("A,B"), QString("Łódź"), QString("")}) {
            ReplaceText(Control<QLineEdit>(fmEditStations, "leStationName"), bad);
            QTest::keyClick(Control<QLineEdit>(fmEditStations, "leStationName"), Qt::Key_Enter);
            QCOMPARE(Control<QLineEdit>(fmEditStations, "leStationName")->text(), bad);
            QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        }
        QCOMPARE(fx->dialogs->messages().size(), 4);
        QVERIFY(fx->dialogs->messages().at(1).contains("\",\""));
        QVERIFY(fx->dialogs->messages().at(2).contains("Windows-1252"));
        QCOMPARE(Items(Control<QListWidget>(fmEditStations, "lbStations")).size(), 5);

        // Enter on the focused cancel button cancels rather than saves.
        Control<QPushButton>(fmEditStations, "btCancel")->setFocus();
        QTest::keyClick(Control<QPushButton>(fmEditStations, "btCancel"), Qt::Key_Return);
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isHidden());
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "ZOO");

        // Escape discards the entry; nothing is written.
        QTest::keyClick(Control<QLineEdit>(fmEditStations, "leStationName"), Qt::Key_Escape);
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isHidden());
        QVERIFY(fmEditStations->isVisible());
        // Escape while browsing leaves the window open.
        QTest::keyClick(Control<QListWidget>(fmEditStations, "lbStations"), Qt::Key_Escape);
        QVERIFY(fmEditStations->isVisible());
        QCOMPARE(ReadBytes(file("stations.csv")),
                 IniText({"abtei", "Berg", "Markt", "M\xfcnster", "Zoo"}));
    }

    void memoListFollowsTheTwoCheckBoxes() {
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        Click(Control<QCheckBox>(fmEditStations, "cbStationNewLine"));
        QVERIFY(Control<QCheckBox>(fmEditStations, "cbStationNewLineClear")->isVisible());
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Au");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(ReadBytes(file("newstations.csv")), IniText({"Markt", "Berg", "Au"}));

        // The memo check mark persists; "Neue Merkliste beginnen" does not.
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        QVERIFY(Control<QCheckBox>(fmEditStations, "cbStationNewLine")->isChecked());
        QVERIFY(Control<QCheckBox>(fmEditStations, "cbStationNewLineClear")->isVisible());
        QVERIFY(!Control<QCheckBox>(fmEditStations, "cbStationNewLineClear")->isChecked());
        Click(Control<QCheckBox>(fmEditStations, "cbStationNewLineClear"));
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Hafen");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(ReadBytes(file("newstations.csv")), IniText({"Hafen"}));
        QCOMPARE(fmEditStations->NewStationList, TStringList({"Hafen"}));

        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        Click(Control<QCheckBox>(fmEditStations, "cbStationNewLine"));
        QVERIFY(!Control<QCheckBox>(fmEditStations, "cbStationNewLineClear")->isVisible());
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Kai");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(ReadBytes(file("newstations.csv")), IniText({"Hafen"}));
        QCOMPARE(ReadBytes(file("stations.csv")),
                 IniText({"abtei", "Au", "Berg", "Hafen", "Kai", "Markt", "Zoo"}));

        // Each showing hides "Neue Merkliste beginnen" again.
        Click(Control<QPushButton>(fmEditStations, "btClose"));
        fmEditStations->show();
        QVERIFY(!Control<QCheckBox>(fmEditStations, "cbStationNewLineClear")->isVisible());
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        QVERIFY(!Control<QCheckBox>(fmEditStations, "cbStationNewLine")->isChecked());
        QVERIFY(!Control<QCheckBox>(fmEditStations, "cbStationNewLineClear")->isVisible());
    }

    void renamingCarriesTheNameIntoEveryFile() {
        QVERIFY(ClickItem(Control<QListWidget>(fmEditStations, "lbStations"), "Markt"));
        Click(Control<QPushButton>(fmEditStations, "btStationEdit"));
        QCOMPARE(Control<QLineEdit>(fmEditStations, "leStationName")->text(), QString("Markt"));
        QVERIFY(!Control<QCheckBox>(fmEditStations, "cbStationNewLine")->isVisible());
        QVERIFY(!Control<QCheckBox>(fmEditStations, "cbStationNewLineClear")->isVisible());
        QVERIFY(!Control<QPushButton>(fmEditStations, "btSave")->isVisible());
        QVERIFY(Control<QPushButton>(fmEditStations, "btClose")->isHidden());

        // A change of letter case alone is a rename; the memo entry moves to
        // the end under its new name.
        ReplaceText(Control<QLineEdit>(fmEditStations, "leStationName"), "MARKT");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(ReadBytes(file("stations.csv")), IniText({"abtei", "Berg", "MARKT", "Zoo"}));
        QCOMPARE(ReadBytes(file("newstations.csv")), IniText({"Berg", "MARKT"}));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"L1=abtei,MARKT,Zoo"}));
        QCOMPARE(ReadBytes(file("station_lines.csv")), IniText({"abtei=L1", "MARKT=L1", "Zoo=L1"}));
        QCOMPARE(SelectedItems(Control<QListWidget>(fmEditStations, "lbStations")),
                 QStringList({"MARKT"}));

        // Typing and deleting a letter leaves the name as it was: nothing is
        // written.
        QVERIFY(QFile::remove(file("station_lines.csv")));
        Click(Control<QPushButton>(fmEditStations, "btStationEdit"));
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "x");
        QTest::keyClick(Control<QLineEdit>(fmEditStations, "leStationName"), Qt::Key_Backspace);
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isHidden());
        QVERIFY(!QFile::exists(file("station_lines.csv")));
        QCOMPARE(ReadBytes(file("newstations.csv")), IniText({"Berg", "MARKT"}));

        // Renaming onto another station would merge the two: refused.
        Click(Control<QPushButton>(fmEditStations, "btStationEdit"));
        ReplaceText(Control<QLineEdit>(fmEditStations, "leStationName"), "berg");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(fx->dialogs->messages(), QStringList({"Station schon vorhanden!"}));
        QCOMPARE(Control<QLineEdit>(fmEditStations, "leStationName")->text(), QString("berg"));
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        QCOMPARE(ReadBytes(file("stations.csv")), IniText({"abtei", "Berg", "MARKT", "Zoo"}));
        Click(Control<QPushButton>(fmEditStations, "btCancel"));
        QVERIFY(Control<QPushButton>(fmEditStations, "btClose")->isVisible());
        // Cancelled: the rename onto "berg" left no trace.
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"L1=abtei,MARKT,Zoo"}));
    }

    void deletingAsksAndCarriesThrough() {
        const QByteArray stations = ReadBytes(file("stations.csv"));
        // Nothing selected: nothing asked, nothing written.
        Click(Control<QPushButton>(fmEditStations, "btStationDelete"));
        QVERIFY(fx->dialogs->log().isEmpty());

        QVERIFY(ClickItem(Control<QListWidget>(fmEditStations, "lbStations"), "Markt"));
        fx->dialogs->setNextAnswer(Answer::No);
        Click(Control<QPushButton>(fmEditStations, "btStationDelete"));
        // The question names the lines whose route and timetables lose it.
        QCOMPARE(fx->dialogs->log(),
                 QStringList({"confirm:Bestätigung:Möchten Sie die Station Markt wirklich "
                              "löschen?\nSie wird aus Route und Fahrplänen dieser Linien "
                              "entfernt: L1"}));
        QCOMPARE(ReadBytes(file("stations.csv")), stations);
        QCOMPARE(Items(Control<QListWidget>(fmEditStations, "lbStations")).size(), 4);

        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(fmEditStations, "btStationDelete"));
        QCOMPARE(ReadBytes(file("stations.csv")), IniText({"abtei", "Berg", "Zoo"}));
        QCOMPARE(ReadBytes(file("newstations.csv")), IniText({"Berg"}));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"L1=abtei,Zoo"}));
        QCOMPARE(ReadBytes(file("station_lines.csv")), IniText({"abtei=L1", "Zoo=L1"}));
        QCOMPARE(Items(Control<QListWidget>(fmEditStations, "lbStations")),
                 QStringList({"abtei", "Berg", "Zoo"}));
        QCOMPARE(fmEditStations->NewStationList, TStringList({"Berg"}));
        QVERIFY(fx->dialogs->messages().isEmpty());
    }

    void deleteKeyAndDoubleClickActOnTheExactStationSelected() {
        // GIVEN "berg" beside "Berg" (hand-edited), "berg" on three lines
        WriteBytes(file("stations.csv"), IniText({"Berg", "berg", "Zoo"}));
        WriteBytes(file("lines.csv"), IniText({"10", "2", "N 5"}));
        WriteBytes(file("line_stations.csv"), IniText({"10=Berg,berg", "2=berg", "N 5=berg,Zoo"}));
        WriteBytes(file("station_lines.csv"),
                   IniText({"Berg=10", "berg=10,2,\"N 5\"", "Zoo=\"N 5\""}));
        WriteBytes(file("line_10.ttd"), IniText({"[1_Sa]", "1=Berg,05:00", "2=berg,05:05"}));
        fmEditStations->hide();
        fmEditStations->show();
        TfmEditStations *w = fmEditStations;

        // WHEN "berg" is selected and Delete pressed THEN the question names
        // its lines in natural order, and "Ja" deletes "berg" alone
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbStations"), "berg"));
        fx->dialogs->setNextAnswer(Answer::Yes);
        QTest::keyClick(Control<QListWidget>(w, "lbStations"), Qt::Key_Delete);
        QCOMPARE(fx->dialogs->log(),
                 QStringList({"confirm:Bestätigung:Möchten Sie die Station berg wirklich "
                              "löschen?\nSie wird aus Route und Fahrplänen dieser Linien "
                              "entfernt: 2, 10, N 5"}));
        QCOMPARE(ReadBytes(file("stations.csv")), IniText({"Berg", "Zoo"}));
        QCOMPARE(ReadBytes(file("line_stations.csv")), IniText({"10=Berg", "N 5=Zoo"}));
        QCOMPARE(ReadBytes(file("station_lines.csv")), IniText({"Berg=10", "Zoo=\"N 5\""}));
        QCOMPARE(ReadBytes(file("line_10.ttd")), IniText({"[1_Sa]", "1=Berg,05:00"}));

        // A double-click starts "Ändern" on that station
        DoubleClickRow(Control<QListWidget>(w, "lbStations"), 0);
        QVERIFY(Control<QGroupBox>(w, "gbStationEdit")->isVisible());
        QCOMPARE(Control<QLineEdit>(w, "leStationName")->text(), QString("Berg"));
    }

    void aCaseVariantWithoutLinesIsDeletedAndRenamedAloneInTheEditor() {
        // GIVEN "marktplatz" (no lines, no data) beside "Marktplatz" on two lines
        WriteBytes(file("stations.csv"), IniText({"Au", "Marktplatz", "marktplatz"}));
        WriteBytes(file("newstations.csv"), "");
        WriteBytes(file("lines.csv"), IniText({"1", "5"}));
        WriteBytes(file("line_stations.csv"), IniText({"1=Au,Marktplatz", "5=Marktplatz,Au"}));
        WriteBytes(file("station_lines.csv"), IniText({"Au=1,5", "Marktplatz=1,5"}));
        WriteBytes(file("station_data.csv"), IniText({"Marktplatz=51.05,13.74,10,"}));
        WriteBytes(file("line_1.ttd"), IniText({"[1_Sa]", "1=Au,05:00", "2=Marktplatz,05:05"}));
        const std::vector<const char *> others = {"line_stations.csv", "station_lines.csv",
                                                  "station_data.csv", "line_1.ttd"};
        QList<QByteArray> before;
        for (const char *name : others)
            before << ReadBytes(file(name));
        fmEditStations->hide();
        fmEditStations->show();
        TfmEditStations *w = fmEditStations;

        // WHEN "marktplatz" is changed, its (empty) data is its own
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbStations"), "marktplatz"));
        Click(Control<QPushButton>(w, "btStationEdit"));
        QCOMPARE(Control<QLineEdit>(w, "leStationName")->text(), QString("marktplatz"));
        TypeText(Control<QLineEdit>(w, "leStationName"), " Nord");
        Click(Control<QPushButton>(w, "btSave"));
        QCOMPARE(ReadBytes(file("stations.csv")), IniText({"Au", "Marktplatz", "marktplatz Nord"}));
        for (std::size_t i = 0; i < others.size(); ++i)
            QCOMPARE(ReadBytes(file(others[i])), before[static_cast<qsizetype>(i)]);

        // WHEN it is deleted THEN the question names no lines, and "Ja"
        // leaves Marktplatz in every file
        QVERIFY(ClickItem(Control<QListWidget>(w, "lbStations"), "marktplatz Nord"));
        fx->dialogs->clearLog();
        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(w, "btStationDelete"));
        QCOMPARE(fx->dialogs->log(),
                 QStringList({"confirm:Bestätigung:Möchten Sie die Station marktplatz Nord "
                              "wirklich löschen?"}));
        QCOMPARE(ReadBytes(file("stations.csv")), IniText({"Au", "Marktplatz"}));
        for (std::size_t i = 0; i < others.size(); ++i)
            QCOMPARE(ReadBytes(file(others[i])), before[static_cast<qsizetype>(i)]);
        QCOMPARE(CheckProjectConsistency(fx->path("netz").toStdString()),
                 std::vector<std::string>{});
    }

    void blanksAroundANameAreTrimmedBeforeItIsChecked() {
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "  Hafen ");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QVERIFY(fx->dialogs->messages().isEmpty());
        QCOMPARE(ReadBytes(file("stations.csv")),
                 IniText({"abtei", "Berg", "Hafen", "Markt", "Zoo"}));
        // A name of blanks alone is still refused
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "   ");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(fx->dialogs->messages(), QStringList({"Der Name darf nicht leer sein."}));
    }

    void minimisingAndRestoringKeepsAnOpenEntry() {
        TfmEditStations *w = fmEditStations;
        Click(Control<QPushButton>(w, "btNewStation"));
        TypeText(Control<QLineEdit>(w, "leStationName"), "Hafen");
        // WHEN the program is minimised and restored
        w->showMinimized();
        w->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // THEN the entry is still open with its text and can be saved
        QVERIFY(Control<QGroupBox>(w, "gbStationEdit")->isVisible());
        QCOMPARE(Control<QLineEdit>(w, "leStationName")->text(), QString("Hafen"));
        QVERIFY(Control<QPushButton>(w, "btSave")->isVisible());
        Click(Control<QPushButton>(w, "btSave"));
        QCOMPARE(ReadBytes(file("stations.csv")),
                 IniText({"abtei", "Berg", "Hafen", "Markt", "Zoo"}));
    }

    void aFailedWriteIsReportedAndTheEntryStaysOpen() {
        // A folder stands where the memo list is to be written.
        QVERIFY(QFile::remove(file("newstations.csv")));
        QVERIFY(QDir().mkpath(file("newstations.csv")));
        const QByteArray stations = ReadBytes(file("stations.csv"));
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        Click(Control<QCheckBox>(fmEditStations, "cbStationNewLine"));
        Click(Control<QCheckBox>(fmEditStations, "cbStationNewLineClear"));
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Kai");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(fx->dialogs->errors().size(), 1);
        QVERIFY(fx->dialogs->errors().first().contains("newstations.csv"));
        // All or nothing: the register is not written either.
        QCOMPARE(ReadBytes(file("stations.csv")), stations);
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        QCOMPARE(Control<QLineEdit>(fmEditStations, "leStationName")->text(), QString("Kai"));
        Click(Control<QPushButton>(fmEditStations, "btCancel"));
        QVERIFY(fmEditStations->close());
    }

    void closingIsRefusedDuringAnEntry() {
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Kai");
        QVERIFY(!fmEditStations->close());
        QVERIFY(fmEditStations->isVisible());
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        Click(Control<QPushButton>(fmEditStations, "btCancel"));
        QVERIFY(fmEditStations->close());
        QVERIFY(!fmEditStations->isVisible());
        QCOMPARE(ReadBytes(file("stations.csv")), IniText({"Zoo", "abtei", "Berg", "Markt"}));
    }

    void workButtonsOpenTheEditorsModally() {
        fmEditStations->hide();
        fx->dialogs->clearLog();
        // The stations editor from the main window, reloaded on each showing.
        WriteBytes(file("stations.csv"), IniText({"Neu"}));
        bool shown = false;
        fx->dialogs->setNextModalAction([&](QDialog &dialog) {
            shown =
                &dialog == fmEditStations &&
                Items(Control<QListWidget>(fmEditStations, "lbStations")) == QStringList({"Neu"});
            Click(Control<QPushButton>(fmEditStations, "btNewStation"));
            // Closing by the frame is refused while the name is entered.
            dialog.close();
            shown = shown && dialog.isVisible();
            Click(Control<QPushButton>(fmEditStations, "btCancel"));
        });
        Click(Control<QPushButton>(fmMain, "sbEditStations"));
        QVERIFY(shown);
        QVERIFY(!fmEditStations->isVisible());

        Click(Control<QPushButton>(fmMain, "sbEditLines"));
        Click(Control<QPushButton>(fmMain, "sbAssignStations"));
        QCOMPARE(fx->dialogs->log(),
                 QStringList({"modal:Stationen bearbeiten", "modal:Linien bearbeiten",
                              "modal:Stationen für Linie zuweisen"}));

        // A new project works as an opened one: every editor opens at once.
        const QString second = fx->path("neu/neu.zpr");
        QDir().mkpath(fx->path("neu"));
        fx->dialogs->setNextFileName(second);
        fmMain->FileNew();
        QVERIFY(Control<QPushButton>(fmMain, "sbEditStations")->isEnabled());
        QVERIFY(Control<QPushButton>(fmMain, "sbAssignStations")->isEnabled());
        QVERIFY(Control<QPushButton>(fmMain, "sbEditLines")->isEnabled());
        QVERIFY(Control<QPushButton>(fmMain, "sbEditTimeTable")->isEnabled());
        fx->dialogs->setNextModalAction([&](QDialog &) {
            Click(Control<QPushButton>(fmEditStations, "btNewStation"));
            TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Erste");
            Click(Control<QPushButton>(fmEditStations, "btSave"));
        });
        Click(Control<QPushButton>(fmMain, "sbEditStations"));
        QCOMPARE(ReadBytes(fx->path("neu/stations.csv")), IniText({"Erste"}));
        fmMain->OpenFromCommandLine(second);
        QVERIFY(Control<QPushButton>(fmMain, "sbEditLines")->isEnabled());
        QVERIFY(Control<QPushButton>(fmMain, "sbEditTimeTable")->isEnabled());
    }

    void optionsCheckBoxesShowAndHideTheStationFields() {
        const QByteArray projectBefore = ReadBytes(project);
        fmEditStations->close();
        // The group on the "Stationen" page, as the project file says
        fmEditProject->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmEditProject));
        QTabBar *tabs = Control<QTabWidget>(fmEditProject, "pcRubrik")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(Control<QTabWidget>(fmEditProject, "pcRubrik")->currentWidget(),
                 Control<QWidget>(fmEditProject, "tsStationOptions"));
        QVERIFY(Control<QGroupBox>(fmEditProject, "gbStationFields")->isVisible());
        QVERIFY(Control<QCheckBox>(fmEditProject, "cbPrjGeoPosition")->isChecked());
        QVERIFY(!Control<QCheckBox>(fmEditProject, "cbPrjTarifZone")->isChecked());

        // Switching geo off and zone and ring on, then discarding, keeps the file
        ClickBox(Control<QCheckBox>(fmEditProject, "cbPrjTarifZone"));
        QVERIFY(Control<QPushButton>(fmEditProject, "btSave")->isVisible());
        Click(Control<QPushButton>(fmEditProject, "btCancel"));
        QVERIFY(!Control<QCheckBox>(fmEditProject, "cbPrjTarifZone")->isChecked());
        QCOMPARE(ReadBytes(project), projectBefore);
        ClickBox(Control<QCheckBox>(fmEditProject, "cbPrjGeoPosition"));
        ClickBox(Control<QCheckBox>(fmEditProject, "cbPrjTarifZone"));
        ClickBox(Control<QCheckBox>(fmEditProject, "cbPrjTarifRing"));
        Click(Control<QPushButton>(fmEditProject, "btSave"));
        QVERIFY(ReadBytes(project).contains(
            "[stationdata]\r\ngeoposition=0\r\ntarifzone=1\r\ntarifring=1\r\n"));
        Click(Control<QPushButton>(fmEditProject, "btClose"));

        fmEditStations->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmEditStations));
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        QVERIFY(!Control<QLineEdit>(fmEditStations, "leGeoLatitude")->isVisible());
        QVERIFY(!Control<QLineEdit>(fmEditStations, "leGeoLongitude")->isVisible());
        QVERIFY(Control<QLineEdit>(fmEditStations, "leTarifZone")->isVisible());
        QVERIFY(Control<QLineEdit>(fmEditStations, "leTarifRing")->isVisible());
        Click(Control<QPushButton>(fmEditStations, "btCancel"));

        // Reopening the project brings the stored choice back into both windows
        OpenProject().PrjParams.StationFields = {};
        fmEditStations->close();
        fmMain->OpenFromCommandLine(project);
        QVERIFY(!Control<QCheckBox>(fmEditProject, "cbPrjGeoPosition")->isChecked());
        QVERIFY(Control<QCheckBox>(fmEditProject, "cbPrjTarifRing")->isChecked());
        fmEditStations->show();
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        QVERIFY(!Control<QLineEdit>(fmEditStations, "leGeoLatitude")->isVisible());
        QVERIFY(Control<QLineEdit>(fmEditStations, "leTarifRing")->isVisible());
    }

    void aStationIsSavedWithCoordinatesAndAZone() {
        OpenProject().PrjParams.StationFields = {true, true, false};
        fmEditStations->close();
        fmEditStations->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmEditStations));
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        QVERIFY(Control<QLineEdit>(fmEditStations, "leTarifZone")->isVisible());
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Nordtor");
        TypeText(Control<QLineEdit>(fmEditStations, "leGeoLatitude"), "52,5200");
        TypeText(Control<QLineEdit>(fmEditStations, "leGeoLongitude"), "13,40499999");
        TypeText(Control<QLineEdit>(fmEditStations, "leTarifZone"), "A");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(fx->dialogs->messages(), QStringList());
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isHidden());
        QCOMPARE(ReadBytes(file("station_data.csv")), IniText({"Nordtor=52.52,13.405,A,"}));

        // Opened again, the data shows as typed in German; the position is cleared
        QVERIFY(ClickItem(Control<QListWidget>(fmEditStations, "lbStations"), "Nordtor"));
        Click(Control<QPushButton>(fmEditStations, "btStationEdit"));
        QCOMPARE(Control<QLineEdit>(fmEditStations, "leGeoLatitude")->text(), QString("52,52"));
        QCOMPARE(Control<QLineEdit>(fmEditStations, "leTarifZone")->text(), QString("A"));
        ReplaceText(Control<QLineEdit>(fmEditStations, "leGeoLatitude"), "");
        ReplaceText(Control<QLineEdit>(fmEditStations, "leGeoLongitude"), "");
        ReplaceText(Control<QLineEdit>(fmEditStations, "leStationName"), "Nordtor Ost");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QCOMPARE(ReadBytes(file("station_data.csv")), IniText({"Nordtor Ost=,,A,"}));

        // Deleting the station deletes its data; Markt beside it keeps its own
        WriteBytes(file("station_data.csv"), IniText({"Nordtor Ost=,,A,", "Markt=50,8,B,"}));
        QVERIFY(ClickItem(Control<QListWidget>(fmEditStations, "lbStations"), "Nordtor Ost"));
        fx->dialogs->setNextAnswer(Answer::Yes);
        Click(Control<QPushButton>(fmEditStations, "btStationDelete"));
        QCOMPARE(ReadBytes(file("station_data.csv")), IniText({"Markt=50,8,B,"}));
    }

    void aRefusedLatitudeKeepsTheEntryOpen() {
        Click(Control<QPushButton>(fmEditStations, "btNewStation"));
        TypeText(Control<QLineEdit>(fmEditStations, "leStationName"), "Nordtor");
        TypeText(Control<QLineEdit>(fmEditStations, "leGeoLatitude"), "95,1");
        TypeText(Control<QLineEdit>(fmEditStations, "leGeoLongitude"), "13,4");
        QTest::keyClick(Control<QLineEdit>(fmEditStations, "leGeoLongitude"), Qt::Key_Return);
        QCOMPARE(
            fx->dialogs->messages(),
            QStringList({"Die Breite muss eine Zahl von -90 bis 90 Grad sein, z. B. 52,5200."}));
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        QCOMPARE(Control<QLineEdit>(fmEditStations, "leGeoLatitude")->text(), QString("95,1"));
        // Nothing is written, not even the station
        QVERIFY(!QFile::exists(file("station_data.csv")));
        QVERIFY(!Items(Control<QListWidget>(fmEditStations, "lbStations")).contains("Nordtor"));

        // Half a position is refused too; corrected, the entry saves
        ReplaceText(Control<QLineEdit>(fmEditStations, "leGeoLatitude"), "");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QVERIFY(fx->dialogs->messages().at(1).contains("Breite und Länge"));
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isVisible());
        TypeText(Control<QLineEdit>(fmEditStations, "leGeoLatitude"), "-33.9");
        Click(Control<QPushButton>(fmEditStations, "btSave"));
        QVERIFY(Control<QGroupBox>(fmEditStations, "gbStationEdit")->isHidden());
        QCOMPARE(ReadBytes(file("station_data.csv")), IniText({"Nordtor=-33.9,13.4,,"}));
    }

    void importsDataFromACsvFileAndReportsUnmatchedNames() {
        WriteBytes(fx->path("stops.csv"), QByteArray("stop_name,stop_lat,stop_lon,zone_id\n"
                                                     "Markt,50.1,8.2,A\n"
                                                     "Zoo,50.2,8.3,B\n"
                                                     "Nirgendwo,1,2,\n"));
        // A cancelled file dialog does nothing
        fx->dialogs->setNextFileName(std::nullopt);
        Click(Control<QPushButton>(fmEditStations, "btImportData"));
        QVERIFY(!QFile::exists(file("station_data.csv")));
        fx->dialogs->setNextFileName(fx->path("stops.csv"));
        Click(Control<QPushButton>(fmEditStations, "btImportData"));
        QCOMPARE(fx->dialogs->messages(),
                 QStringList({"Daten übernommen für 2 Stationen.\n\nNicht gefunden (1):\n"
                              "Nirgendwo"}));
        QCOMPARE(ReadBytes(file("station_data.csv")),
                 IniText({"Markt=50.1,8.2,A,", "Zoo=50.2,8.3,B,"}));
        // A file without the columns is reported by the error handler
        WriteBytes(fx->path("stops.csv"), QByteArray("a;b\n"));
        fx->dialogs->setNextFileName(fx->path("stops.csv"));
        Click(Control<QPushButton>(fmEditStations, "btImportData"));
        QCOMPARE(fx->dialogs->errors().size(), 1);
        QVERIFY(fx->dialogs->errors().at(0).contains("Name, Breite und Länge"));
    }

  private:
    // On the box itself, as a user aims: the group stretches the check box
    // wider than its caption.
    static void ClickBox(QCheckBox *box) {
        QVERIFY(box->isVisible());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    QString file(const char *name) const { return fx->path(QStringLiteral("netz/") + name); }

    std::unique_ptr<GuiFixture> fx;
    QString project;
};

TAKTON_GUI_TEST_MAIN(EditStationsTest)

#include "test_edit_stations.moc"
