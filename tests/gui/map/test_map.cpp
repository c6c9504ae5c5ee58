// The network map as a planner works it, on a copy of the demo project:
// reached through the "&Extras" menu, the stations without position listed,
// the map zoomed with the wheel and dragged, the picture and the page
// exported. The query window is reached through the same menu.

#include "app/main_window.h"
#include "core/model/network_map.h"
#include "core/model/station_data.h"
#include "gui/gtfs/gtfs_export_window.h"
#include "gui/map/map_widget.h"
#include "gui/map/map_window.h"
#include "gui/search/query_window.h"
#include "render/map/map_export.h"
#include "render/map/map_painter.h"
#include "support/controls.h"
#include "support/editor_steps.h"
#include "support/gui_fixture.h"
#include "support/window_steps.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>
#include <functional>

using namespace takton;
using namespace takton::gui;
using takton::testing::ChooseFromMenu;
using takton::testing::Click;
using takton::testing::Control;
using takton::testing::FindControl;
using takton::testing::GuiFixture;
using takton::testing::Items;
using takton::testing::ReadBytes;
using takton::testing::WriteBytes;

namespace {

QStringList Captions(const QMenu *menu) {
    QStringList captions;
    for (QAction *item : menu->actions())
        captions << item->text();
    return captions;
}

void Wheel(QWidget *widget, const QPointF &at, int delta) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

QPointF Pixel(const takton::TMapView &view, const TGeoPosition &position) {
    const TMapPoint point = view.ToPixel(position);
    return {point.X, point.Y};
}

} // namespace

class MapTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        fx = std::make_unique<GuiFixture>();
        fmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(fmMain));
    }
    void cleanup() { fx.reset(); }

    void extrasMenuIsOpenWhileAProjectIs() {
        // The new windows cost nothing at start-up: their controls come on first showing.
        QVERIFY(!FindControl<TMapWidget>(fmMap, "MapView"));
        QVERIFY(!FindControl<QPushButton>(fmGtfsExport, "btExport"));
        const QList<QAction *> menus = fmMain->menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->text(), "&Datei");
        QCOMPARE(menus[1]->text(), "&Extras");
        QCOMPARE(Captions(Control<QMenu>(fmMain, "ExtrasMenu")),
                 QStringList({"Netzkarte…", "Verbindungs-Abfrage…", "GTFS exportieren…", "Drucken…",
                              "Bildfahrplan…", "Betriebstage…", "GTFS importieren…"}));
        // GIVEN no project THEN the map cannot be chosen
        QVERIFY(!Control<QAction>(fmMain, "ExtrasMapItem")->isEnabled());

        OpenDemo();
        QVERIFY(Control<QAction>(fmMain, "ExtrasMapItem")->isEnabled());
        // The highlighted item's hint stands in the status line
        takton::testing::HoverMenuItem("ExtrasMenu", "ExtrasMapItem");
        QTRY_COMPARE(fmMain->statusBar()->currentMessage(),
                     QString("Stationen und Linien auf einer Karte zeigen"));
        QTest::mouseMove(Control<QMenu>(fmMain, "ExtrasMenu"),
                         Control<QMenu>(fmMain, "ExtrasMenu")
                             ->actionGeometry(Control<QAction>(fmMain, "ExtrasQueryItem"))
                             .center());
        QTRY_COMPARE(fmMain->statusBar()->currentMessage(),
                     QString("Verbindungen zwischen zwei Stationen abfragen"));
        QTest::keyClick(Control<QMenu>(fmMain, "ExtrasMenu"), Qt::Key_Escape);

        // A new project whose first save is cancelled leaves no project open
        fmMain->FileNew();
        QVERIFY(Control<QWidget>(fmMain, "paWorkChoice")->isHidden());
        QVERIFY(!Control<QAction>(fmMain, "ExtrasMapItem")->isEnabled());
    }

    void queryItemShowsTheQueryWindow() {
        OpenDemo();
        fx->dialogs->clearLog();
        bool shown = false;
        fx->dialogs->setNextModalAction([&shown](QDialog &window) {
            shown = window.isVisible() && &window == static_cast<QDialog *>(fmQuery);
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasQueryItem"));
        QVERIFY(shown);
        QCOMPARE(fx->dialogs->log(), QStringList{"modal:Verbindugns-Abfrage"});
    }

    void mapShowsTheDemoAndListsTheStationWithoutPosition() {
        OpenDemo();
        InMap([] {
            QCOMPARE(fmMap->windowTitle(), "Netzkarte");
            QCOMPARE(Items(Control<QListWidget>(fmMap, "lbWithoutPosition")),
                     QStringList{"Weißer Hirsch"});
            QCOMPARE(Control<QLabel>(fmMap, "laWithoutPosition")->text(), "Ohne Koordinaten");
            const TNetworkMap &map = Control<TMapWidget>(fmMap, "MapView")->Map();
            QCOMPARE(map.Stations.size(), std::size_t(9));
            QCOMPARE(map.Lines.size(), std::size_t(2));
            // Line 5 ends at the station without position
            QCOMPARE(map.Lines[1].Points.size(), std::size_t(5));
            // Every positioned station lies inside the widget
            const QRect inside = Control<TMapWidget>(fmMap, "MapView")->rect();
            for (const TMapStation &station : map.Stations)
                QVERIFY(inside.contains(
                    Pixel(Control<TMapWidget>(fmMap, "MapView")->View(), station.Position)
                        .toPoint()));
        });

        // The project is read anew each time the window is shown
        WriteBytes(fx->path("demo/station_data.csv"), "Hauptbahnhof=51.04,13.732,A,\r\n");
        InMap([] {
            QCOMPARE(Control<TMapWidget>(fmMap, "MapView")->Map().Stations.size(), std::size_t(1));
            QCOMPARE(Control<QListWidget>(fmMap, "lbWithoutPosition")->count(), 9);
            QVERIFY(Control<QListWidget>(fmMap, "lbWithoutPosition")->item(0)->text() ==
                    "Am Gänseanger");
        });
        QVERIFY(fx->dialogs->errors().isEmpty());
    }

    void wheelZoomsAroundTheMouseAndDraggingPans() {
        OpenDemo();
        InMap([] {
            TMapWidget *widget = Control<TMapWidget>(fmMap, "MapView");
            const takton::TMapView fitted = widget->View();
            const QPointF mouse(140, 90);
            const TMapPoint under = fitted.ToWorld({mouse.x(), mouse.y()});

            // One notch forward zooms in, the place under the mouse stays
            Wheel(widget, mouse, 120);
            const takton::TMapView zoomed = widget->View();
            QVERIFY(qAbs(zoomed.Scale / fitted.Scale - 1.2) < 1e-9);
            const TMapPoint stays = zoomed.ToPixel(under);
            QVERIFY(qAbs(stays.X - mouse.x()) < 1e-6 && qAbs(stays.Y - mouse.y()) < 1e-6);
            // Back again gives the former scale
            Wheel(widget, mouse, -120);
            QVERIFY(qAbs(widget->View().Scale - fitted.Scale) < 1e-9 * fitted.Scale);

            // Dragging moves the map with the mouse
            const TGeoPosition markt{51.05, 13.738};
            const QPointF before = Pixel(widget->View(), markt);
            QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(200, 200));
            QTest::mouseMove(widget, QPoint(230, 180));
            QTest::mouseMove(widget, QPoint(250, 160));
            QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(250, 160));
            const QPointF after = Pixel(widget->View(), markt);
            QVERIFY(qAbs(after.x() - before.x() - 50) < 1e-6);
            QVERIFY(qAbs(after.y() - before.y() + 40) < 1e-6);

            // "Alles zeigen" brings the whole map back
            Click(Control<QPushButton>(fmMap, "btFit"));
            QCOMPARE(widget->View().Scale, fitted.Scale);
            QCOMPARE(widget->View().OffsetX, fitted.OffsetX);
        });
    }

    void pngExportHasTheStationsWhereTheProjectionPutsThem() {
        OpenDemo();
        const QString file = fx->path("out/karte.png");
        QDir().mkpath(fx->path("out"));
        fx->dialogs->setNextFileName(file);
        InMap([] { Click(Control<QPushButton>(fmMap, "btSavePng")); });
        QCOMPARE(fx->dialogs->lastFileRequest().filter, "PNG-Bild (*.png)");
        QCOMPARE(fx->dialogs->lastFileRequest().proposedFile, fx->path("demo/Netzkarte.png"));

        QImage image;
        QVERIFY(image.load(file, "PNG"));
        QCOMPARE(image.size(), kMapImageSize);
        // The positions as the core projects them into this picture
        const TNetworkMap map = LoadNetworkMap(fx->path("demo").toStdString());
        const TMapView view =
            FitMap(map.Positions(), MapArea(map, QRectF(image.rect())), kMapMargin);
        const TStationDataList data = LoadStationData(fx->path("demo").toStdString());
        QCOMPARE(data.size(), std::size_t(9));
        for (const auto &[name, entry] : data) {
            const TMapPoint pixel = view.ToPixel(*entry.Position);
            QVERIFY2(image.pixelColor(int(pixel.X), int(pixel.Y)) == kStationDotColour,
                     name.c_str());
        }
        // Away from the stations the ground is white
        QCOMPARE(image.pixelColor(3, image.height() - 3), QColor(Qt::white));
        QVERIFY(fx->dialogs->errors().isEmpty());
        InMap([&] {
            QVERIFY(Control<QLabel>(fmMap, "laSaved")->text().isEmpty());
            fx->dialogs->setNextFileName(file);
            Click(Control<QPushButton>(fmMap, "btSavePng"));
            QCOMPARE(Control<QLabel>(fmMap, "laSaved")->text(),
                     "Gespeichert: " + QDir::toNativeSeparators(file));
        });
        // No temporary file is left beside it
        QCOMPARE(QDir(fx->path("out")).entryList(QDir::Files), QStringList{"karte.png"});
    }

    void pdfExportWritesOneLandscapePage() {
        OpenDemo();
        const QString file = fx->path("demo/karte.pdf");
        // Cancelled first: nothing is written
        fx->dialogs->setNextFileName(std::nullopt);
        fx->dialogs->setNextFileName(file);
        InMap([&] {
            Click(Control<QPushButton>(fmMap, "btSavePdf"));
            QVERIFY(Control<QLabel>(fmMap, "laSaved")->text().isEmpty());
            Click(Control<QPushButton>(fmMap, "btSavePdf"));
            // Said in the window what was written where
            QCOMPARE(Control<QLabel>(fmMap, "laSaved")->text(),
                     "Gespeichert: " + QDir::toNativeSeparators(file));
        });
        QCOMPARE(fx->dialogs->lastFileRequest().filter, "PDF-Dokument (*.pdf)");
        QCOMPARE(fx->dialogs->lastFileRequest().defaultSuffix, "pdf");
        const QByteArray pdf = ReadBytes(file);
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
        if (!pdfinfo.isEmpty()) {
            QProcess info;
            info.start(pdfinfo, {file});
            QVERIFY(info.waitForFinished(30000));
            QCOMPARE(info.exitCode(), 0);
            const QString text = QString::fromUtf8(info.readAllStandardOutput());
            QVERIFY2(text.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(text));
            QVERIFY2(text.contains(QRegularExpression("Title:\\s+Netzkarte\\n")), qPrintable(text));
            QVERIFY2(
                text.contains(QRegularExpression("Page size:\\s+84[12][.\\d]* x 595[.\\d]* pts")),
                qPrintable(text));
        }
        // The station names are text in the page, found by a search
        QProcess toText;
        toText.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        QVERIFY(toText.waitForFinished(30000));
        QCOMPARE(toText.exitCode(), 0);
        const QString words = QString::fromUtf8(toText.readAllStandardOutput());
        for (const char *station : {"Hauptbahnhof", "Südfriedhof", "Am Gänseanger", "Rathaus"})
            QVERIFY2(words.contains(QString::fromUtf8(station)), qUtf8Printable(words));

        // A folder that does not exist cannot take the file: the error is
        // shown and the window stays open
        fx->dialogs->setNextFileName(fx->path("fehlt/karte.pdf"));
        InMap([] {
            Click(Control<QPushButton>(fmMap, "btSavePdf"));
            QVERIFY(fmMap->isVisible());
        });
        QCOMPARE(fx->dialogs->errors().size(), 1);
        QVERIFY(fx->dialogs->errors().first().contains("kann nicht geschrieben werden"));
        // A failure after a save leaves no word of a save
        InMap([&] {
            fx->dialogs->setNextFileName(file);
            Click(Control<QPushButton>(fmMap, "btSavePdf"));
            QVERIFY(!Control<QLabel>(fmMap, "laSaved")->text().isEmpty());
            fx->dialogs->setNextFileName(fx->path("fehlt/karte.pdf"));
            Click(Control<QPushButton>(fmMap, "btSavePdf"));
            QVERIFY(Control<QLabel>(fmMap, "laSaved")->text().isEmpty());
        });
        QCOMPARE(fx->dialogs->errors().size(), 2);
    }

  private:
    void OpenDemo() {
        takton::testing::CopyDemoProject(fx->path("demo"));
        fmMain->OpenFromCommandLine(fx->path("demo/demo.zpr"));
    }

    // Opens the map through the menu and works it while it is open.
    void InMap(std::function<void()> steps) {
        bool ran = false;
        fx->dialogs->setNextModalAction([&](QDialog &window) {
            QCOMPARE(&window, static_cast<QDialog *>(fmMap));
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            steps();
            ran = true;
        });
        ChooseFromMenu(Control<QMenu>(fmMain, "ExtrasMenu"),
                       Control<QAction>(fmMain, "ExtrasMapItem"));
        QVERIFY(ran);
    }

    std::unique_ptr<GuiFixture> fx;
};

TAKTON_GUI_TEST_MAIN(MapTest)
#include "test_map.moc"
