// The connection query as a planner works it: opened through the main
// window's hidden command, station boxes filled from the register, queries
// stacked in the two trees, the "Zeit" boxes and their pickers.

#include "app/app_windows.h"
#include "app/main_window.h"
#include "gui/common/error_handler.h"
#include "gui/search/query_window.h"
#include "support/controls.h"
#include "support/gui_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <functional>

using namespace takton;
using namespace takton::gui;
using takton::testing::Control;
using takton::testing::GuiFixture;
using takton::testing::IniText;
using takton::testing::ReadBytes;
using takton::testing::WriteBytes;

namespace {

QStringList Items(const QComboBox *box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QStringList Children(const QTreeWidgetItem *node) {
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

QStringList TopNodes(const QTreeWidget *tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

bool AnyExpanded(const QTreeWidgetItem *node) {
    for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->isExpanded() || AnyExpanded(node->child(i)))
            return true;
    return false;
}

void TypeStation(QComboBox *box, const QString &text) {
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(box->lineEdit(), text);
}

void Query(const QString &start, const QString &end) {
    TypeStation(Control<QComboBox>(fmQuery, "cbStartLine"), start);
    TypeStation(Control<QComboBox>(fmQuery, "cbEndLine"), end);
    QTest::mouseClick(Control<QPushButton>(fmQuery, "btStartQuery"), Qt::LeftButton);
}

// Types into the station box with the keyboard focus in it, so that the
// box completes the typed text from its stations.
void TypeCompleting(QComboBox *box, const QString &text) {
    box->setFocus();
    TypeStation(box, text);
}

// Types into a date or time picker as a planner does: from its first
// section on, each section moving on to the next once full.
void TypeDateTime(QDateTimeEdit *field, const QString &digits) {
    field->setFocus();
    field->setSelectedSection(field->sectionAt(0));
    QTest::keyClicks(field, digits);
}

QStringList Columns(const QTreeWidgetItem *node) {
    QStringList texts;
    for (int c = 0; c < node->columnCount(); ++c)
        texts << node->text(c);
    return texts;
}

} // namespace

class QueryTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        fmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmMain));
    }
    void cleanup() { fx.reset(); }

    void withoutAProjectTheQueryStaysClosed() {
        fmMain->SpeedButton3Click();
        QCOMPARE(fx->dialogs->log(), QStringList{"message:Kein Projekt geladen!"});
        QVERIFY(!fmQuery->isVisible());
        QCOMPARE(Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItemCount(), 0);
    }

    void showingFillsBothStationBoxesAndKeepsTheShownTexts() {
        OpenProject();
        WriteFile("stations.csv", "Bahnhof\r\nMarkt\r\n\xdc"
                                  "berlingen\r\n");
        InQuery([] {
            const QStringList stations = {"Bahnhof", "Markt", "Überlingen"};
            QCOMPARE(Items(Control<QComboBox>(fmQuery, "cbStartLine")), stations);
            QCOMPARE(Items(Control<QComboBox>(fmQuery, "cbEndLine")), stations);
            QCOMPARE(Control<QComboBox>(fmQuery, "cbStartLine")->currentText(), QString());
            QCOMPARE(Control<QComboBox>(fmQuery, "cbEndLine")->currentText(), QString());
            Query("Hafen", "Markt");
        });

        // GIVEN a changed register WHEN the window is shown again THEN the
        // boxes hold the new stations and still show what was typed
        WriteFile("stations.csv", "Alt\r\nMarkt\r\n");
        InQuery([] {
            QCOMPARE(Items(Control<QComboBox>(fmQuery, "cbStartLine")),
                     QStringList({"Alt", "Markt"}));
            QCOMPARE(Items(Control<QComboBox>(fmQuery, "cbEndLine")),
                     QStringList({"Alt", "Markt"}));
            QCOMPARE(Control<QComboBox>(fmQuery, "cbStartLine")->currentText(), "Hafen");
            QCOMPARE(Control<QComboBox>(fmQuery, "cbEndLine")->currentText(), "Markt");
            QCOMPARE(Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItemCount(), 1);
        });

        // Without a register both boxes are emptied, items and text
        QVERIFY(QFile::remove(ProjectFilePath("stations.csv")));
        InQuery([] {
            for (QComboBox *box : {Control<QComboBox>(fmQuery, "cbStartLine"),
                                   Control<QComboBox>(fmQuery, "cbEndLine")}) {
                QCOMPARE(box->count(), 0);
                QCOMPARE(box->currentText(), QString());
            }
            QCOMPARE(TopNodes(Control<QTreeWidget>(fmQuery, "tvStart")), QStringList{"Hafen"});
        });
        QVERIFY(fx->dialogs->errors().isEmpty());
    }

    void queriesStackNewestOnTopWithTheStartStationsLines() {
        OpenProject();
        WriteFile("stations.csv", "Bahnhof\r\nHafen\r\nMarkt\r\n");
        const QByteArray index = "Markt=1,\"S 3\",Bus\r\nHafen=F\r\n";
        WriteFile("station_lines.csv", index);
        WriteFile("line_stations.csv", "1=Markt\r\n");
        InQuery([] {
            Query("Markt", "Bahnhof");
            Query("hafen", "Markt");
        });

        // Two top-level nodes in each tree, the newer on top
        QCOMPARE(TopNodes(Control<QTreeWidget>(fmQuery, "tvStart")),
                 QStringList({"hafen", "Markt"}));
        QCOMPARE(TopNodes(Control<QTreeWidget>(fmQuery, "tvEnd")),
                 QStringList({"Markt", "Bahnhof"}));
        // The start station's three lines in the entry's order, each without
        // children as no line is named like a station
        const QTreeWidgetItem *markt = Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(1);
        QCOMPARE(Children(markt), QStringList({"1", "S 3", "Bus"}));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(markt->child(i)->childCount(), 0);
        // The station typed in other case is found too
        QCOMPARE(Children(Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(0)),
                 QStringList{"F"});
        // The destination side gets its node and nothing more
        for (int i = 0; i < 2; ++i)
            QCOMPARE(Control<QTreeWidget>(fmQuery, "tvEnd")->topLevelItem(i)->childCount(), 0);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(!Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(i)->isExpanded());
            QVERIFY(!AnyExpanded(Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(i)));
        }
        QVERIFY(fx->dialogs->errors().isEmpty());
        QCOMPARE(ReadBytes(ProjectFilePath("station_lines.csv")), index);
    }

    void aLineNamedLikeAStationDescendsForTenLevels() {
        OpenProject();
        // Markt's first line is named like the station Ring, Ring's like Tal,
        // and Tal's line leads back to Markt: the descent stops after ten.
        WriteFile("station_lines.csv", "Markt=RING,2\r\nring=Tal,9\r\nTAL=markt\r\n");
        InQuery([] { Query("Markt", "Ziel"); });

        const QList<QStringList> cycle = {{"RING", "2"}, {"Tal", "9"}, {"markt"}};
        const QTreeWidgetItem *node = Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(0);
        for (int level = 0; level < 10; ++level) {
            QCOMPARE(Children(node), cycle[level % 3]);
            for (int i = 1; i < node->childCount(); ++i)
                QCOMPARE(node->child(i)->childCount(), 0);
            node = node->child(0);
        }
        QCOMPARE(node->text(0), "RING");
        QCOMPARE(node->childCount(), 0);
        QVERIFY(!AnyExpanded(Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(0)));
    }

    void zeitBoxesKeepOneSideCheckedAndShowItsPickers() {
        OpenProject();
        InQuery([this] {
            ExpectSides(true, false);
            // Unchecking the start side checks the destination side
            QTest::mouseClick(Control<QCheckBox>(fmQuery, "cbStartTime"), Qt::LeftButton);
            ExpectSides(false, true);
            // ... and unchecking that one checks the start side again
            QTest::mouseClick(Control<QCheckBox>(fmQuery, "cbEndTime"), Qt::LeftButton);
            ExpectSides(true, false);
            // Both sides may be checked; then either can be unchecked alone
            QTest::mouseClick(Control<QCheckBox>(fmQuery, "cbEndTime"), Qt::LeftButton);
            ExpectSides(true, true);
            QTest::mouseClick(Control<QCheckBox>(fmQuery, "cbStartTime"), Qt::LeftButton);
            ExpectSides(false, true);
        });
        // The boxes keep their state when the window is shown again
        InQuery([this] { ExpectSides(false, true); });
    }

    void aProjectWithoutReverseIndexGivesAChildlessNode() {
        OpenProject();
        WriteFile("stations.csv", "Markt\r\n");
        InQuery([] { Query("Markt", "Bahnhof"); });
        QCOMPARE(TopNodes(Control<QTreeWidget>(fmQuery, "tvStart")), QStringList{"Markt"});
        QCOMPARE(Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(0)->childCount(), 0);
        QCOMPARE(TopNodes(Control<QTreeWidget>(fmQuery, "tvEnd")), QStringList{"Bahnhof"});
        QCOMPARE(fx->dialogs->log(), QStringList{"modal:Verbindugns-Abfrage"});
        // Reading writes nothing
        QVERIFY(!QFile::exists(ProjectFilePath("station_lines.csv")));
        QVERIFY(!QFile::exists(ProjectFilePath("line_stations.csv")));

        // The routes are not needed for the lines of a station
        WriteFile("station_lines.csv", "Markt=1\r\n");
        InQuery([] { Query("Markt", ""); });
        QCOMPARE(Children(Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(0)),
                 QStringList{"1"});
        QCOMPARE(TopNodes(Control<QTreeWidget>(fmQuery, "tvEnd")), QStringList({"", "Bahnhof"}));
        QVERIFY(fx->dialogs->errors().isEmpty());
    }

    void anUnreadableIndexIsReportedAndTheNodesStay() {
        OpenProject();
        QVERIFY(QDir().mkpath(ProjectFilePath("station_lines.csv")));
        InQuery([] { Query("Markt", "Bahnhof"); });
        QCOMPARE(fx->dialogs->errors().size(), 1);
        QVERIFY(fx->dialogs->errors()[0].contains("station_lines.csv"));
        QCOMPARE(TopNodes(Control<QTreeWidget>(fmQuery, "tvStart")), QStringList{"Markt"});
        QCOMPARE(Control<QTreeWidget>(fmQuery, "tvStart")->topLevelItem(0)->childCount(), 0);
        QCOMPARE(TopNodes(Control<QTreeWidget>(fmQuery, "tvEnd")), QStringList{"Bahnhof"});
    }

    void connectionsFromTheTimetablesNewestOnTop() {
        OpenNetwork();
        InQuery([this] {
            // Thursday, leaving from 07:00; typed names complete to stations.
            TypeDateTime(Control<QDateEdit>(fmQuery, "dtpStartDate"), "10122026");
            TypeDateTime(Control<QTimeEdit>(fmQuery, "dtpStartTime"), "0700");
            QCOMPARE(Control<QDateEdit>(fmQuery, "dtpStartDate")->date(), QDate(2026, 12, 10));
            QCOMPARE(Control<QTimeEdit>(fmQuery, "dtpStartTime")->time().toString("HH:mm"),
                     "07:00");
            TypeCompleting(Control<QComboBox>(fmQuery, "cbStartLine"), "M");
            QCOMPARE(Control<QComboBox>(fmQuery, "cbStartLine")->currentText(), "M\u00fchle");
            TypeCompleting(Control<QComboBox>(fmQuery, "cbEndLine"), "nord");
            QCOMPARE(Control<QComboBox>(fmQuery, "cbEndLine")->currentText(), "nordbahnhof");
            QTest::mouseClick(Control<QPushButton>(fmQuery, "btStartQuery"), Qt::LeftButton);

            QCOMPARE(Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItemCount(), 1);
            const QTreeWidgetItem *query =
                Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItem(0);
            QCOMPARE(query->text(0), "M\u00fchle \u2192 Nordbahnhof, ab 07:00 am 10.12.2026");
            QCOMPARE(query->childCount(), 1);
            const QTreeWidgetItem *found = query->child(0);
            QCOMPARE(Columns(found),
                     QStringList({"07:32 \u2013 08:05", "07:32", "08:05", "0:33", "1"}));
            QCOMPARE(found->childCount(), 2);
            QCOMPARE(Columns(found->child(0)), QStringList({"Linie 5 Richtung Zentrum",
                                                            "07:32 M\u00fchle", "07:50 Zentrum"}));
            QCOMPARE(Columns(found->child(1)), QStringList({"Linie N Richtung Nordbahnhof",
                                                            "07:53 Zentrum", "08:05 Nordbahnhof"}));
            // Every text is whole in sight: no column cut short, nothing to scroll to
            QTreeWidget *tree = Control<QTreeWidget>(fmQuery, "tvConnections");
            for (int c = 0; c < tree->columnCount(); ++c)
                QVERIFY2(tree->columnWidth(c) >=
                             static_cast<QAbstractItemView *>(tree)->sizeHintForColumn(c),
                         qPrintable(QString::number(c)));
            QCOMPARE(tree->horizontalScrollBar()->maximum(), 0);

            // Arriving by 09:00 on a Sunday: nothing runs.
            QTest::mouseClick(Control<QCheckBox>(fmQuery, "cbStartTime"), Qt::LeftButton, {},
                              QPoint(4, Control<QCheckBox>(fmQuery, "cbStartTime")->height() / 2));
            QVERIFY(Control<QCheckBox>(fmQuery, "cbEndTime")->isChecked());
            TypeDateTime(Control<QDateEdit>(fmQuery, "dtpEndDate"), "13122026");
            TypeDateTime(Control<QTimeEdit>(fmQuery, "dtpEndTime"), "0900");
            QTest::mouseClick(Control<QPushButton>(fmQuery, "btStartQuery"), Qt::LeftButton);
            QCOMPARE(Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItemCount(), 2);
            query = Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItem(0);
            QCOMPARE(query->text(0), "M\u00fchle \u2192 Nordbahnhof, an 09:00 am 13.12.2026");
            QCOMPARE(Columns(query->child(0)).first(), "Keine Verbindung gefunden");
            QCOMPARE(query->childCount(), 1);

            // A timetable saved meanwhile is searched at once.
            WriteFile("line_5.ttd", IniText({"[1_Mo-Fr]", "1=M\xfchle,07:30", "2=Zentrum,07:48"}));
            QTest::mouseClick(Control<QCheckBox>(fmQuery, "cbStartTime"), Qt::LeftButton, {},
                              QPoint(4, Control<QCheckBox>(fmQuery, "cbStartTime")->height() / 2));
            QTest::mouseClick(Control<QPushButton>(fmQuery, "btStartQuery"), Qt::LeftButton);
            QCOMPARE(Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItemCount(), 3);
            QCOMPARE(
                Columns(Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItem(0)->child(0)),
                QStringList({"07:30 \u2013 08:05", "07:30", "08:05", "0:35", "1"}));
            QCOMPARE(Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItem(2)->text(0),
                     "M\u00fchle \u2192 Nordbahnhof, ab 07:00 am 10.12.2026");
        });
        QVERIFY(fx->dialogs->errors().isEmpty());
    }

    void theTimeStartsAtTheCurrentMinuteWithoutSeconds() {
        const QTime before = QTime::currentTime();
        fx.reset();
        fx = std::make_unique<GuiFixture>();
        const QTime after = QTime::currentTime();
        for (QTimeEdit *field : {Control<QTimeEdit>(fmQuery, "dtpStartTime"),
                                 Control<QTimeEdit>(fmQuery, "dtpEndTime")}) {
            const QTime time = field->time();
            QCOMPARE(time.second(), 0);
            QCOMPARE(time.msec(), 0);
            QVERIFY(time == QTime(before.hour(), before.minute()) ||
                    time == QTime(after.hour(), after.minute()));
            QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d$").match(field->text()).hasMatch(),
                     qPrintable(field->text()));
        }
    }

    void theProjectsMinimumChangeTimeDecides() {
        OpenNetwork("min_change_minutes=4");
        InQuery([this] {
            TypeDateTime(Control<QDateEdit>(fmQuery, "dtpStartDate"), "10122026");
            TypeDateTime(Control<QTimeEdit>(fmQuery, "dtpStartTime"), "0700");
            TypeCompleting(Control<QComboBox>(fmQuery, "cbStartLine"), "M");
            TypeCompleting(Control<QComboBox>(fmQuery, "cbEndLine"), "Nordbahnhof");
            QTest::mouseClick(Control<QPushButton>(fmQuery, "btStartQuery"), Qt::LeftButton);
            // Three minutes at Zentrum are too few: the 08:20 onwards.
            const QTreeWidgetItem *found =
                Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItem(0)->child(0);
            QCOMPARE(Columns(found),
                     QStringList({"07:32 \u2013 08:32", "07:32", "08:32", "1:00", "1"}));
            // Start and destination the same: no connection.
            Query("Zentrum", "zentrum");
            QCOMPARE(
                Control<QTreeWidget>(fmQuery, "tvConnections")->topLevelItem(0)->child(0)->text(0),
                "Keine Verbindung gefunden");
        });
    }

  private:
    // Line 5 from M\u00fchle to Zentrum, where line N leaves 3 minutes after.
    void OpenNetwork(const char *minChange = "") {
        const QString project = fx->path("netz/netz.zpr");
        WriteBytes(project,
                   IniText({"[daygroups]", "daygroupnames=Mo-Fr,So",
                            "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday", "So_days=sunday",
                            "[timetable]", "max_drive_minutes=30", minChange}));
        WriteFile("stations.csv", "M\xfchle\r\nZentrum\r\nNordbahnhof\r\n");
        WriteFile("lines.csv", "5\r\nN\r\n");
        WriteFile("line_5.ttd", IniText({"[1_Mo-Fr]", "1=M\xfchle,07:32", "2=Zentrum,07:50"}));
        WriteFile("line_N.ttd",
                  IniText({"[2_Mo-Fr]", "1=Zentrum,07:53,08:20", "2=Nordbahnhof,08:05,08:32"}));
        fmMain->OpenFromCommandLine(project);
        QVERIFY(!gui::OpenProject().ProjectFile.empty());
        fx->dialogs->clearLog();
    }

    void OpenProject() {
        const QString project = fx->path("netz/netz.zpr");
        WriteBytes(project, IniText({"[timetable]", "max_drive_minutes=30"}));
        fmMain->OpenFromCommandLine(project);
        QVERIFY(!gui::OpenProject().ProjectFile.empty());
        fx->dialogs->clearLog();
    }

    QString ProjectFilePath(const QString &name) const { return fx->path("netz/" + name); }
    void WriteFile(const QString &name, const QByteArray &bytes) {
        WriteBytes(ProjectFilePath(name), bytes);
    }

    // Opens the window through the main window's hidden command and runs the
    // steps while it is shown.
    void InQuery(const std::function<void()> &steps) {
        bool ran = false;
        fx->dialogs->setNextModalAction([&](QDialog &dialog) {
            QCOMPARE(&dialog, static_cast<QDialog *>(fmQuery));
            QVERIFY(QTest::qWaitForWindowExposed(fmQuery));
            ran = true;
            steps();
        });
        fmMain->SpeedButton3Click();
        QVERIFY(ran);
        QVERIFY(!fmQuery->isVisible());
    }

    void ExpectSides(bool start, bool end) {
        QCOMPARE(Control<QCheckBox>(fmQuery, "cbStartTime")->isChecked(), start);
        QCOMPARE(Control<QCheckBox>(fmQuery, "cbEndTime")->isChecked(), end);
        QCOMPARE(Control<QDateEdit>(fmQuery, "dtpStartDate")->isVisible(), start);
        QCOMPARE(Control<QTimeEdit>(fmQuery, "dtpStartTime")->isVisible(), start);
        QCOMPARE(Control<QDateEdit>(fmQuery, "dtpEndDate")->isVisible(), end);
        QCOMPARE(Control<QTimeEdit>(fmQuery, "dtpEndTime")->isVisible(), end);
    }

    std::unique_ptr<GuiFixture> fx;
};

TAKTON_GUI_TEST_MAIN(QueryTest)

#include "test_query_window.moc"
