// Pictures of the program for the documentation: the main window at start and
// with the demo project open, the project options window, the editors of
// stations, lines and routes and the timetable editor with the demo timetable
// open, with a refused entry's reason in its status line and with a station
// of arrival and departure rows, the stations editor with its station data
// fields, the network map, the print window and the graphical timetable. Run under a real
// (or virtual) X display: takton_screenshots OUTPUT_DIR PROJECT.zpr

#include "app/app_windows.h"
#include "app/main_window.h"
#include "core/model/prj_params.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "gui/common/string_grid_view.h"
#include "gui/common/translations.h"
#include "gui/editors/edit_lines.h"
#include "gui/editors/edit_linestations.h"
#include "gui/editors/edit_project.h"
#include "gui/editors/edit_stations.h"
#include "gui/map/map_window.h"
#include "gui/print/graph_window.h"
#include "gui/print/print_window.h"
#include "gui/timetable/edit_timetable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStatusBar>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace takton::gui;

// Lets the window system map and paint the window before it is grabbed.
void Settle(QWidget &window) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    window.repaint();
}

// A control of a window, found by the object name the window gives it (the
// windows keep their widgets to themselves); ends the run when it is missing.
template <class W> W &ControlOf(QWidget &window, const char *name) {
    W *control = window.findChild<W *>(QString::fromLatin1(name));
    if (!control) {
        std::fprintf(stderr, "takton_screenshots: no control %s in %s\n", name,
                     qPrintable(window.objectName()));
        std::exit(1);
    }
    return *control;
}

bool Save(QWidget &window, const QString &dir, const char *name) {
    Settle(window);
    const QString path = QDir(dir).filePath(QString::fromLatin1(name));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "takton_screenshots: %s not written\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The stations editor with the first station opened for a change and every
// station data field switched on; nothing is saved.
bool SaveStationDataFields(const QString &dir) {
    const takton::TStationFields stored = takton::gui::OpenProject().PrjParams.StationFields;
    takton::gui::OpenProject().PrjParams.StationFields = {true, true, true};
    fmEditStations->show();
    fmEditStations->ChangeStationAt(0);
    const bool ok = Save(*fmEditStations, dir, "edit_stations_data.png");
    fmEditStations->btCancelClick();
    fmEditStations->hide();
    takton::gui::OpenProject().PrjParams.StationFields = stored;
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    TaktonApplication app(argc, argv);
    LoadGermanTranslations(app);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "Aufruf: takton_screenshots AUSGABEORDNER PROJEKT.zpr\n");
        return 2;
    }
    const QString outputDir = arguments.at(1);
    QDir().mkpath(outputDir);

    CreateWindows();
    fmMain->resize(520, 380);
    fmMain->show();
    bool ok = Save(*fmMain, outputDir, "main_window_start.png");
    fmMain->OpenFromCommandLine(arguments.at(2));
    ok = Save(*fmMain, outputDir, "main_window.png") && ok;

    fmEditProject->show();
    ok = Save(*fmEditProject, outputDir, "project_options.png") && ok;
    fmEditProject->ShowTimetablePage();
    ok = Save(*fmEditProject, outputDir, "project_options_timetable.png") && ok;
    fmEditProject->hide();

    fmEditStations->show();
    ok = Save(*fmEditStations, outputDir, "edit_stations.png") && ok;
    fmEditStations->hide();

    // The lines editor with the first line opened for a change, so that its
    // stations show.
    fmEditLines->show();
    fmEditLines->ChangeLineAt(0);
    ok = Save(*fmEditLines, outputDir, "edit_lines.png") && ok;
    fmEditLines->btCancelClick();
    fmEditLines->hide();

    // The assignment with the first line being assigned.
    fmEditLineStations->show();
    fmEditLineStations->AssignLineAt(0);
    ok = Save(*fmEditLineStations, outputDir, "edit_linestations.png") && ok;
    fmEditLineStations->btCancelClick();
    fmEditLineStations->hide();

    fmEditTimeTable->show();
    fmEditTimeTable->btTimeTableEditClick();
    ok = Save(*fmEditTimeTable, outputDir, "timetable_editor.png") && ok;

    // A time typed before the one above it, left with a cursor key.
    auto &grid = ControlOf<TStringGridView>(*fmEditTimeTable, "sgTimeTable");
    grid.MoveTo(3, 3);
    fmEditTimeTable->EditState.SavedText = grid.Grid().Cell(3, 3);
    fmEditTimeTable->EditState.SavedTextTaken = true;
    grid.SetCell(3, 3, "0500");
    fmEditTimeTable->EditOn();
    grid.MoveTo(3, 4);
    ok = Save(*fmEditTimeTable, outputDir, "timetable_refusal.png") && ok;

    // The second station served with an arrival and a departure row.
    ControlOf<QStatusBar>(*fmEditTimeTable, "StatusLine").clearMessage();
    takton::SplitStationRow(grid.Grid(), 3);
    takton::CopyRowFromBelow(grid.Grid(), 3);
    grid.Refresh();
    ok = Save(*fmEditTimeTable, outputDir, "timetable_pair.png") && ok;
    // Back as the file holds it, so that discarding asks nothing.
    takton::MergeStationRow(grid.Grid(), 3);
    grid.Refresh();
    fmEditTimeTable->btCancelClick();
    fmEditTimeTable->hide();

    ok = SaveStationDataFields(outputDir) && ok;
    // The network map of the demo project.
    fmMap->resize(900, 620);
    fmMap->show();
    ok = Save(*fmMap, outputDir, "network_map.png") && ok;
    fmMap->hide();

    // The print window and the graphical timetable of line 1 on working days.
    fmPrint->show();
    ok = Save(*fmPrint, outputDir, "print_window.png") && ok;
    fmPrint->hide();
    fmGraph->ChooseTimetable("1", "Mo-Fr");
    fmGraph->resize(960, 680);
    fmGraph->show();
    ok = Save(*fmGraph, outputDir, "graph_window.png") && ok;
    fmGraph->hide();

    DestroyWindows();
    return ok ? 0 : 1;
}
