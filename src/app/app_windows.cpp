#include "app/app_windows.h"

#include "app/first_save.h"
#include "app/main_window.h"
#include "app/make_window.h"
#include "core/gtfs/gtfs_export.h"
#include "core/gtfs/gtfs_import.h"
#include "core/layout/print_timetable.h"
#include "core/model/footnotes.h"
#include "gui/calendar/operating_days_window.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/editors/edit_lines.h"
#include "gui/editors/edit_linestations.h"
#include "gui/editors/edit_project.h"
#include "gui/editors/edit_stations.h"
#include "gui/gtfs/gtfs_export_window.h"
#include "gui/gtfs/gtfs_import_window.h"
#include "gui/map/map_window.h"
#include "gui/print/graph_window.h"
#include "gui/print/print_window.h"
#include "gui/search/query_window.h"
#include "gui/timetable/edit_timetable.h"
#include "gui/webcopy/web_copy.h"

namespace takton::gui {

namespace {

// The timetable editor and the web copy window work side by side: the editor
// shows the window and takes its selected block, the window reads the
// editor's stations to choose a table.
void ConnectTimetableAndWebCopy() {
    fmEditTimeTable->WebCopy.ShowBeside = [](QWidget *editor) { fmWebCopy->ShowBeside(editor); };
    fmEditTimeTable->WebCopy.Close = [] {
        if (fmWebCopy->isVisible())
            fmWebCopy->close();
    };
    fmEditTimeTable->WebCopy.TakePageHtml = [](const std::string &page, bool onlyWhenChosen) {
        return fmWebCopy->TakePageHtml(page, onlyWhenChosen);
    };
    fmEditTimeTable->WebCopy.SelectedBlock = [] { return fmWebCopy->SelectedBlock(); };
    fmWebCopy->TimetableStationNames = [] { return fmEditTimeTable->StationNames(); };
}

// The export window runs the core's export and sends the planner to the
// project options when publishing data is missing.
void ConnectGtfsExport() {
    fmGtfsExport->Exporter = [](const std::string &projectDir, const TPrjParams &params,
                                const std::string &zipPath, const gtfs::TExportProgress &progress) {
        return gtfs::ExportGtfs(projectDir, params, zipPath, progress);
    };
    fmGtfsExport->MissingData = [](const TPublishing &publishing) {
        return gtfs::MissingPublishingData(publishing);
    };
    fmGtfsExport->UnplacedStations = [](const std::string &projectDir, const TPrjParams &params) {
        return gtfs::ServedStationsWithoutPosition(projectDir, params);
    };
    fmGtfsExport->ShowPublishingOptions = [] {
        fmEditProject->ShowPublishingPage();
        Dialogs().ShowModal(*fmEditProject);
    };
}

// The editor's print and graph buttons open the two windows on the open
// timetable; printing takes the grid as it stands, saved or not.
void ConnectTimetableAndPrinting() {
    fmEditTimeTable->Printing.Print = [] {
        print::TPrintTimetable table =
            print::PrintTimetableFromRows(fmEditTimeTable->GridRowTexts());
        table.Line = fmEditTimeTable->TimeTableLine;
        table.Direction = fmEditTimeTable->TimeTableDirection;
        table.DayGroup = fmEditTimeTable->TimeTableDayGroup;
        table.DayGroupText = print::DayGroupText(OpenProject().PrjParams, table.DayGroup);
        print::ApplyJourneyMarks(table, fmEditTimeTable->GridJourneyMarks(),
                                 LoadFootnotes(OpenProject().ProjectDir));
        fmPrint->SetOpenTimetable(std::move(table));
        Dialogs().ShowModal(*fmPrint);
        fmPrint->SetOpenTimetable(std::nullopt);
    };
    fmEditTimeTable->Printing.Graph = [] {
        fmGraph->ChooseTimetable(fmEditTimeTable->TimeTableLine,
                                 fmEditTimeTable->TimeTableDayGroup);
        Dialogs().ShowModal(*fmGraph);
    };
}

// A journey's operating days, from the editor's journey menu.
void ConnectTimetableAndOperatingDays() {
    fmEditTimeTable->OperatingDays.Show = [](QWidget *, const std::string &dayGroup,
                                             const std::string &footnote) {
        fmOperatingDays->Choose(dayGroup, footnote);
        Dialogs().ShowModal(*fmOperatingDays);
    };
}

// The import window runs the core's import and opens the new project.
void ConnectGtfsImport() {
    fmGtfsImport->Importer = [](const std::string &feedPath, const std::string &projectPath,
                                const gtfs::TImportProgress &progress) {
        return gtfs::ImportGtfs(feedPath, projectPath, progress);
    };
    fmGtfsImport->OpenProject = [](const std::string &projectFile) {
        fmMain->LoadProject(projectFile);
    };
}

} // namespace

TfmMain *fmMain = nullptr;
TfmEditStations *fmEditStations = nullptr;
TfmEditProject *fmEditProject = nullptr;
TDlgFirstSave *DlgFirstSave = nullptr;
TfmEditLines *fmEditLines = nullptr;
TfmEditLineStations *fmEditLineStations = nullptr;
TfmEditTimeTable *fmEditTimeTable = nullptr;
TfmWebCopy *fmWebCopy = nullptr;
TfmMake *fmMake = nullptr;
TfmQuery *fmQuery = nullptr;
TfmMap *fmMap = nullptr;
TfmGtfsExport *fmGtfsExport = nullptr;
TfmPrint *fmPrint = nullptr;
TfmGraph *fmGraph = nullptr;
TfmGtfsImport *fmGtfsImport = nullptr;
TfmOperatingDays *fmOperatingDays = nullptr;

TOpenProject &OpenProject() {
    static TOpenProject project;
    return project;
}

void CreateWindows() {
    fmMain = new TfmMain();
    fmMain->SetProject(OpenProject());
    // The editors belong to the main window, so they open centred over it.
    fmEditStations = new TfmEditStations(fmMain);
    fmEditProject = new TfmEditProject(fmMain);
    // The notice is centred on the screen, not over the main window.
    DlgFirstSave = new TDlgFirstSave();
    fmEditLines = new TfmEditLines(fmMain);
    fmEditLineStations = new TfmEditLineStations(fmMain);
    fmEditTimeTable = new TfmEditTimeTable(fmMain);
    fmWebCopy = new TfmWebCopy(fmMain);
    fmMake = new TfmMake(fmMain);
    fmQuery = new TfmQuery(fmMain);
    fmMap = new TfmMap(fmMain);
    fmGtfsExport = new TfmGtfsExport(fmMain);
    fmGtfsImport = new TfmGtfsImport(fmMain);
    ConnectTimetableAndWebCopy();
    ConnectGtfsExport();
    fmPrint = new TfmPrint(fmMain);
    fmGraph = new TfmGraph(fmMain);
    fmOperatingDays = new TfmOperatingDays(fmMain);
    // Every window works on the one open project.
    for (TProjectUser *window : std::initializer_list<TProjectUser *>{
             fmEditStations, fmEditProject, fmEditLines, fmEditLineStations, fmEditTimeTable,
             fmWebCopy, fmQuery, fmMap, fmGtfsExport, fmGtfsImport, fmPrint, fmGraph,
             fmOperatingDays})
        window->SetProject(OpenProject());
    ConnectTimetableAndPrinting();
    ConnectGtfsImport();
    ConnectTimetableAndOperatingDays();
}

template <class Window> void DestroyWindow(Window *&window) {
    delete window;
    window = nullptr;
}

void DestroyWindows() {
    DestroyWindow(fmOperatingDays);
    DestroyWindow(fmGraph);
    DestroyWindow(fmPrint);
    DestroyWindow(fmGtfsImport);
    DestroyWindow(fmGtfsExport);
    DestroyWindow(fmMap);
    DestroyWindow(fmQuery);
    DestroyWindow(fmMake);
    DestroyWindow(fmWebCopy);
    DestroyWindow(fmEditTimeTable);
    DestroyWindow(fmEditLineStations);
    DestroyWindow(fmEditLines);
    DestroyWindow(DlgFirstSave);
    DestroyWindow(fmEditProject);
    DestroyWindow(fmEditStations);
    DestroyWindow(fmMain);
}

} // namespace takton::gui
