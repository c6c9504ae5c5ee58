// Printing as a planner works it on a copy of the demo project: "&Extras" →
// "Drucken…" and "Bildfahrplan…", and the two buttons of the timetable
// editor. PDFs are read back with pdftotext; file dialogs are answered
// through the dialog seam.

#include "app/main_window.h"
#include "core/model/footnotes.h"
#include "core/model/timetable_file.h"
#include "gui/common/string_grid_view.h"
#include "gui/print/graph_window.h"
#include "gui/print/print_window.h"
#include "gui/timetable/edit_timetable.h"
#include "render/qt_text.h"
#include "support/controls.h"
#include "support/gui_fixture.h"
#include "support/window_steps.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <functional>

using namespace takton;
using namespace takton::gui;
using takton::testing::Choose;
using takton::testing::ChooseFromMenu;
using takton::testing::Control;
using takton::testing::GuiFixture;
using takton::testing::ReadBytes;

namespace {

QString Run(const QString &program, const QStringList &args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfText(const QString &path) {
    return Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

int PdfPages(const QString &path) {
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(Run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Line 1, working days, direction 1 open in the timetable editor.
void OpenLineOneOnWeekdays() {
    fmEditTimeTable->show();
    QVERIFY(QTest::qWaitForWindowExposed(fmEditTimeTable));
    Choose(Control<QComboBox>(fmEditTimeTable, "cbLines"), "1");
    Choose(Control<QComboBox>(fmEditTimeTable, "cbDays"), "Mo-Fr");
    Control<QComboBox>(fmEditTimeTable, "cbDirection")->setCurrentIndex(0);
    QTest::mouseClick(Control<QPushButton>(fmEditTimeTable, "btTimeTableEdit"), Qt::LeftButton);
}

// The texts in this order, each after the one before.
bool InOrder(const QString &text, const QStringList &items) {
    qsizetype at = 0;
    for (const auto &item : items) {
        at = text.indexOf(item, at);
        if (at < 0) {
            qWarning() << "missing in order:" << item << "\n" << text;
            return false;
        }
        at += item.size();
    }
    return true;
}

void Click(QAbstractButton *button) {
    QVERIFY(button->isVisible());
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
}

// On the round mark: a radio button takes clicks only on its mark and text.
void ClickChoice(QRadioButton *button) {
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    QVERIFY(button->isChecked());
}

QStringList ItemTexts(const QComboBox *box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

int PathCount(const QByteArray &svg) {
    return static_cast<int>(svg.count("<path"));
}

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        takton::testing::CopyDemoProject(fx->path("demo"));
        fmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmMain));
        fmMain->OpenFromCommandLine(fx->path("demo/demo.zpr"));
        fx->dialogs->clearLog();
    }
    void cleanup() { fx.reset(); }

    void printWindowWritesEachDocumentAndPreviewsIt() {
        bool ran = false;
        fx->dialogs->setNextModalAction([&](QDialog &window) {
            QCOMPARE(&window, static_cast<QDialog *>(fmPrint));
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(Control<QComboBox>(fmPrint, "cbLines")->count(), 2);
            QCOMPARE(Control<QComboBox>(fmPrint, "cbDays")->itemText(1), QString("Sa"));
            QVERIFY(Control<QRadioButton>(fmPrint, "rbTimetable")->isChecked());
            QVERIFY(!Control<QComboBox>(fmPrint, "cbStations")->isEnabled());

            // The table of one timetable: direction 2, working days.
            Choose(Control<QComboBox>(fmPrint, "cbLines"), "1");
            QCOMPARE(ItemTexts(Control<QComboBox>(fmPrint, "cbDirection")),
                     QStringList({"Richtung 1 → Südfriedhof", "Richtung 2 → Hauptbahnhof"}));
            Choose(Control<QComboBox>(fmPrint, "cbDirection"), "Richtung 2");
            Choose(Control<QComboBox>(fmPrint, "cbDays"), "Mo-Fr");
            const QString table = fx->path("demo/tabelle.pdf");
            fx->dialogs->setNextFileName(table);
            Click(Control<QPushButton>(fmPrint, "btPdf"));
            QVERIFY(InOrder(PdfText(table),
                            {"Linie 1 · Richtung 2: Südfriedhof → Hauptbahnhof",
                             "Montag bis Freitag", "gültig vom 01.01.2027 bis 31.12.2027",
                             "Südfriedhof", "Mühlenweg", "Hauptbahnhof", "Seite 1 von 1"}));
            QVERIFY(fx->dialogs->log().last().startsWith("save:"));
            QVERIFY(fx->dialogs->log().last().endsWith("Linie 1 Richtung 2 Mo-Fr.pdf"));
            // Said in the window what was written where
            QCOMPARE(Control<QLabel>(fmPrint, "laStatus")->text(),
                     "Gespeichert: " + QDir::toNativeSeparators(table));

            // Every timetable of the line; a cancelled dialog writes nothing.
            ClickChoice(Control<QRadioButton>(fmPrint, "rbLine"));
            QVERIFY(!Control<QComboBox>(fmPrint, "cbDays")->isEnabled());
            fx->dialogs->setNextFileName(std::nullopt);
            Click(Control<QPushButton>(fmPrint, "btPdf"));
            const QString line = fx->path("demo/linie.pdf");
            QVERIFY(!QFile::exists(line));
            fx->dialogs->setNextFileName(line);
            Click(Control<QPushButton>(fmPrint, "btPdf"));
            QCOMPARE(Control<QLabel>(fmPrint, "laStatus")->text(),
                     "Gespeichert: " + QDir::toNativeSeparators(line));
            QCOMPARE(PdfPages(line), 4);
            QVERIFY(InOrder(PdfText(line), {"Montag bis Freitag", "Seite 1 von 4", "Samstag",
                                            "Sonn- und Feiertag", "Seite 4 von 4"}));

            // The poster of a station.
            ClickChoice(Control<QRadioButton>(fmPrint, "rbPoster"));
            QVERIFY(Control<QComboBox>(fmPrint, "cbStations")->isEnabled());
            QVERIFY(!Control<QComboBox>(fmPrint, "cbLines")->isEnabled());
            Choose(Control<QComboBox>(fmPrint, "cbStations"), "Rathaus");
            const QString poster = fx->path("demo/aushang.pdf");
            fx->dialogs->setNextFileName(poster);
            Click(Control<QPushButton>(fmPrint, "btPdf"));
            QVERIFY(InOrder(PdfText(poster), {"Abfahrten an Rathaus", "Linie 1 → Südfriedhof",
                                              "Uhr", "Montag bis Freitag", "Samstag", "05",
                                              "15 35 55", "Linie 1 → Hauptbahnhof"}));

            // The preview shows the same pages.
            int previewPages = -1;
            fx->dialogs->setNextModalAction([&](QDialog &preview) {
                QVERIFY(qobject_cast<QPrintPreviewDialog *>(&preview));
                auto *pages = preview.findChild<QPrintPreviewWidget *>();
                QVERIFY(pages);
                pages->updatePreview();
                previewPages = pages->pageCount();
            });
            Click(Control<QPushButton>(fmPrint, "btPreview"));
            QCOMPARE(previewPages, 1);
            ClickChoice(Control<QRadioButton>(fmPrint, "rbLine"));
            fx->dialogs->setNextModalAction([&](QDialog &preview) {
                auto *pages = preview.findChild<QPrintPreviewWidget *>();
                pages->updatePreview();
                previewPages = pages->pageCount();
            });
            Click(Control<QPushButton>(fmPrint, "btPreview"));
            QCOMPARE(previewPages, 4);

            // The print dialog cancelled: nothing else happens.
            Click(Control<QPushButton>(fmPrint, "btPrint"));
            QVERIFY(fx->dialogs->log().last().startsWith("modal:"));
            QVERIFY(fx->dialogs->errors().isEmpty());
            ran = true;
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasPrintItem"));
        QVERIFY(ran);
    }

    void aTimetableThatDoesNotExistIsSaidInsteadOfPrinted() {
        bool ran = false;
        fx->dialogs->setNextModalAction([&](QDialog &) {
            // Line 5 has a route but no timetable at all
            Choose(Control<QComboBox>(fmPrint, "cbLines"), "5");
            QCOMPARE(ItemTexts(Control<QComboBox>(fmPrint, "cbDirection")),
                     QStringList({"Richtung 1 → Weißer Hirsch", "Richtung 2 → Am Gänseanger"}));
            ClickChoice(Control<QRadioButton>(fmPrint, "rbLine"));
            fx->dialogs->clearLog();
            Click(Control<QPushButton>(fmPrint, "btPdf"));
            QCOMPARE(Control<QLabel>(fmPrint, "laStatus")->text(),
                     QString("Die Linie 5 hat keinen Fahrplan."));
            Click(Control<QPushButton>(fmPrint, "btPreview"));
            Click(Control<QPushButton>(fmPrint, "btPrint"));
            // Neither a file nor a preview nor the print dialog was asked for
            QVERIFY2(fx->dialogs->log().isEmpty(), qUtf8Printable(fx->dialogs->log().join('|')));

            // Line 1 runs on Saturdays in direction 1 only
            Choose(Control<QComboBox>(fmPrint, "cbLines"), "1");
            ClickChoice(Control<QRadioButton>(fmPrint, "rbTimetable"));
            Choose(Control<QComboBox>(fmPrint, "cbDirection"), "Richtung 2");
            Choose(Control<QComboBox>(fmPrint, "cbDays"), "Sa");
            Click(Control<QPushButton>(fmPrint, "btPdf"));
            QCOMPARE(Control<QLabel>(fmPrint, "laStatus")->text(),
                     QString("Linie 1, Richtung 2 → Hauptbahnhof, Sa: kein Fahrplan vorhanden."));
            QVERIFY(fx->dialogs->log().isEmpty());
            // The other direction is there and is printed
            Choose(Control<QComboBox>(fmPrint, "cbDirection"), "Richtung 1");
            const QString pdf = fx->path("demo/samstag.pdf");
            fx->dialogs->setNextFileName(pdf);
            Click(Control<QPushButton>(fmPrint, "btPdf"));
            QVERIFY(InOrder(PdfText(pdf), {"Richtung 1: Hauptbahnhof → Südfriedhof", "Samstag"}));
            QCOMPARE(Control<QLabel>(fmPrint, "laStatus")->text(),
                     "Gespeichert: " + QDir::toNativeSeparators(pdf));
            QVERIFY(fx->dialogs->errors().isEmpty());
            ran = true;
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasPrintItem"));
        QVERIFY(ran);
    }

    void theEditorPrintsTheFootnotesOfTheOpenGrid() {
        SaveFootnotes(fx->path("demo").toStdString(),
                      {{"S", "nur an Schultagen", TFootnoteDays::SchoolDays, {}, {}, {}}});
        TTimetableFile file(TimetablePath(fx->path("demo").toStdString(), "1"));
        file.WriteJourneyMarks("1_Mo-Fr", {{}, {"S", false}});
        file.Save();
        OpenLineOneOnWeekdays();
        const QString pdf = fx->path("demo/marken.pdf");
        fx->dialogs->setNextModalAction([&](QDialog &) {
            fx->dialogs->setNextFileName(pdf);
            Click(Control<QPushButton>(fmPrint, "btPdf"));
        });
        Click(Control<QPushButton>(fmEditTimeTable, "btPrint"));
        // The mark above journey 2 and the legend below the table
        QVERIFY(
            InOrder(PdfText(pdf), {"Station", "8", "S", "Hauptbahnhof", "S nur an Schultagen"}));
    }

    void editorButtonsPrintTheOpenGridAndShowItsGraph() {
        const QByteArray saved = ReadBytes(fx->path("demo/line_1.ttd"));
        OpenLineOneOnWeekdays();
        // An unsaved change is printed as it stands.
        QTest::keyClicks(QApplication::focusWidget(), "509");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(
            FromCp1252(Control<TStringGridView>(fmEditTimeTable, "sgTimeTable")->Grid().Cell(2, 2)),
            QString("05:09"));

        const QString pdf = fx->path("demo/offen.pdf");
        bool printed = false;
        fx->dialogs->setNextModalAction([&](QDialog &window) {
            QCOMPARE(&window, static_cast<QDialog *>(fmPrint));
            QVERIFY(Control<QRadioButton>(fmPrint, "rbTimetable")->isChecked());
            QCOMPARE(Control<QComboBox>(fmPrint, "cbLines")->currentText(), QString("1"));
            QCOMPARE(Control<QComboBox>(fmPrint, "cbDays")->currentText(), QString("Mo-Fr"));
            fx->dialogs->setNextFileName(pdf);
            Click(Control<QPushButton>(fmPrint, "btPdf"));
            printed = true;
        });
        Click(Control<QPushButton>(fmEditTimeTable, "btPrint"));
        QVERIFY(printed);
        QVERIFY(InOrder(PdfText(pdf), {"Richtung 1: Hauptbahnhof → Südfriedhof", "Hauptbahnhof",
                                       "05:09", "05:30", "Marktplatz", "05:13"}));
        QCOMPARE(ReadBytes(fx->path("demo/line_1.ttd")), saved);
        // From "Extras" the same timetable comes from its file again.
        fx->dialogs->setNextModalAction([&](QDialog &) {
            QCOMPARE(Control<QComboBox>(fmPrint, "cbLines")->currentText(), QString("1"));
            fx->dialogs->setNextFileName(pdf);
            Click(Control<QPushButton>(fmPrint, "btPdf"));
        });
        fmMain->ExtrasPrintClick();
        QVERIFY(InOrder(PdfText(pdf), {"Hauptbahnhof", "05:10", "05:30"}));
        QVERIFY(!PdfText(pdf).contains("05:09"));

        bool shown = false;
        fx->dialogs->setNextModalAction([&](QDialog &window) {
            QCOMPARE(&window, static_cast<QDialog *>(fmGraph));
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(Control<QComboBox>(fmGraph, "cbLines")->currentText(), QString("1"));
            QCOMPARE(Control<QComboBox>(fmGraph, "cbDays")->currentText(), QString("Mo-Fr"));
            // Eight journeys each way on working days.
            QCOMPARE(static_cast<int>(
                         Control<TGraphView>(fmGraph, "GraphView")->Graph().Journeys.size()),
                     16);
            // Opened, the whole graph is in sight without scrolling
            QVERIFY(Control<TGraphView>(fmGraph, "GraphView")->Zoom() <= 1);
            QCOMPARE(Control<QScrollArea>(fmGraph, "ScrollArea")->horizontalScrollBar()->maximum(),
                     0);
            QCOMPARE(Control<QScrollArea>(fmGraph, "ScrollArea")->verticalScrollBar()->maximum(),
                     0);
            QVERIFY(Control<QScrollArea>(fmGraph, "ScrollArea")
                        ->viewport()
                        ->rect()
                        .contains(Control<TGraphView>(fmGraph, "GraphView")->geometry()));
            const double zoom = Control<TGraphView>(fmGraph, "GraphView")->Zoom();
            const int width = Control<TGraphView>(fmGraph, "GraphView")->width();
            Click(Control<QPushButton>(fmGraph, "btZoomIn"));
            QVERIFY(Control<TGraphView>(fmGraph, "GraphView")->width() > width);
            QVERIFY(qAbs(Control<TGraphView>(fmGraph, "GraphView")->Zoom() / zoom - 1.25) < 1e-9);
            QCOMPARE(Control<QLabel>(fmGraph, "laZoom")->text(),
                     QString("%1 %").arg(
                         qRound(Control<TGraphView>(fmGraph, "GraphView")->Zoom() * 100)));
            Click(Control<QPushButton>(fmGraph, "btZoomOut"));
            Click(Control<QPushButton>(fmGraph, "btZoomOut"));
            QVERIFY(Control<TGraphView>(fmGraph, "GraphView")->width() < width);

            const QString svg = fx->path("demo/bild.svg");
            fx->dialogs->setNextFileName(svg);
            Click(Control<QPushButton>(fmGraph, "btSaveSvg"));
            QCOMPARE(PathCount(ReadBytes(svg)), 16);
            QVERIFY(ReadBytes(svg).contains("Bildfahrplan Linie 1 · Montag bis Freitag"));
            // The legend tells the directions' colours apart
            QVERIFY(ReadBytes(svg).contains("Richtung 1: Hauptbahnhof → Südfriedhof"));
            QVERIFY(ReadBytes(svg).contains("Richtung 2: Südfriedhof → Hauptbahnhof"));
            QCOMPARE(Control<QLabel>(fmGraph, "laSaved")->text(),
                     "Gespeichert: " + QDir::toNativeSeparators(svg));

            Choose(Control<QComboBox>(fmGraph, "cbDays"), "So");
            const QString png = fx->path("demo/bild.png");
            fx->dialogs->setNextFileName(png);
            Click(Control<QPushButton>(fmGraph, "btSavePng"));
            QImage image(png);
            QVERIFY(!image.isNull());
            QVERIFY(image.width() > 300);
            const QString pdfGraph = fx->path("demo/bild.pdf");
            fx->dialogs->setNextFileName(pdfGraph);
            Click(Control<QPushButton>(fmGraph, "btSavePdf"));
            QVERIFY(InOrder(PdfText(pdfGraph), {"Bildfahrplan Linie 1 · Sonn- und Feiertag",
                                                "Richtung 1: Hauptbahnhof → Südfriedhof"}));
            shown = true;
        });
        Click(Control<QPushButton>(fmEditTimeTable, "btGraph"));
        QVERIFY(shown);
        QVERIFY(fx->dialogs->errors().isEmpty());
    }

    void graphFromExtrasZoomsWithCtrlAndTheWheel() {
        bool shown = false;
        fx->dialogs->setNextModalAction([&](QDialog &window) {
            QCOMPARE(&window, static_cast<QDialog *>(fmGraph));
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            Choose(Control<QComboBox>(fmGraph, "cbLines"), "5");
            // Line 5 has stations but no timetable: the stations, no journeys.
            QVERIFY(Control<TGraphView>(fmGraph, "GraphView")->Graph().Journeys.empty());
            QVERIFY(!Control<TGraphView>(fmGraph, "GraphView")->Graph().Stations.empty());
            Choose(Control<QComboBox>(fmGraph, "cbLines"), "1");
            const int height = Control<TGraphView>(fmGraph, "GraphView")->height();
            const QPointF at(50, 50);
            QWheelEvent wheel(at, Control<TGraphView>(fmGraph, "GraphView")->mapToGlobal(at),
                              QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(Control<TGraphView>(fmGraph, "GraphView"), &wheel);
            QVERIFY(Control<TGraphView>(fmGraph, "GraphView")->height() > height);
            shown = true;
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasGraphItem"));
        QVERIFY(shown);
    }

  private:
    std::unique_ptr<GuiFixture> fx;
};

TAKTON_GUI_TEST_MAIN(PrintingTest)
#include "test_printing.moc"
