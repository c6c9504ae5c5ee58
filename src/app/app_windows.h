#pragma once

// The program's twelve windows, each created once at start-up and kept until the
// end. The order of creation is fixed: the main window first.

namespace takton::gui {

class TfmMain;
class TfmEditStations;
class TfmEditProject;
class TDlgFirstSave;
class TfmEditLines;
class TfmEditLineStations;
class TfmEditTimeTable;
class TfmWebCopy;
class TfmMake;
class TfmQuery;
class TfmMap;
class TfmGtfsExport;
class TfmPrint;
class TfmGraph;
class TfmGtfsImport;
class TfmOperatingDays;

extern TfmMain *fmMain;
extern TfmEditStations *fmEditStations;
extern TfmEditProject *fmEditProject;
extern TDlgFirstSave *DlgFirstSave;
extern TfmEditLines *fmEditLines;
extern TfmEditLineStations *fmEditLineStations;
extern TfmEditTimeTable *fmEditTimeTable;
extern TfmWebCopy *fmWebCopy;
extern TfmMake *fmMake;
extern TfmQuery *fmQuery;
extern TfmMap *fmMap;
extern TfmGtfsExport *fmGtfsExport;
extern TfmPrint *fmPrint;
extern TfmGraph *fmGraph;
extern TfmGtfsImport *fmGtfsImport;
extern TfmOperatingDays *fmOperatingDays;

struct TOpenProject;
// The project open in the editor: every window is handed it when it is
// created, and only the program itself reaches it from here.
TOpenProject &OpenProject();

// Creates the twelve windows in their order; needs the application object.
void CreateWindows();
// Destroys them in reverse order and clears the variables (end of the run, tests).
void DestroyWindows();

} // namespace takton::gui
