#include "app/main_window.h"

#include "app/app_windows.h"
#include "app/first_save.h"
#include "app/make_window.h"
#include "core/files/write_batch.h"
#include "core/model/master_data.h"
#include "core/model/prj_load.h"
#include "core/model/prj_save.h"
#include "gui/calendar/operating_days_window.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/common/hints.h"
#include "gui/common/project_guard.h"
#include "gui/common/speed_icons.h"
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
#include "render/qt_text.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace takton::gui {

QString ProgramTitle() {
    // The window's own caption; the version that project files record comes
    // from the build and may differ (0.0.0 in a build without one).
    return QStringLiteral("Takton 1.0.1");
}

TfmMain::TfmMain(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(ProgramTitle());
    CreateMenu();
    CreateSpeedBar();
    CreateWorkPanel();
    setStatusBar(new QStatusBar(this));
    statusBar()->setObjectName(QStringLiteral("StatusLine"));
    statusBar()->setSizeGripEnabled(true);
    resize(420, 360);
    FormCreate();
}

void TfmMain::FormCreate() {
    // The hints of the menus and of the speed bar feed the status line.
    for (QMenu *menu : {FileMenu, ExtrasMenu}) {
        connect(menu, &QMenu::hovered, this,
                [this](QAction *action) { ShowHint(LongHintOf(*action)); });
        connect(menu, &QMenu::aboutToHide, this, [this] { ShowHint(QString()); });
    }
    GetProgInfo();
}

void TfmMain::GetProgInfo() {
    // The name, edition, type and version written into project files are fixed
    // at build time (core/model/prog_info.h); here only the paths are found.
    ProgExeName = ToNativePath(QCoreApplication::applicationFilePath());
    DefaultProjectFile =
        ToNativePath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                     QLatin1String(kDefaultProjectFileName.data(), kDefaultProjectFileName.size()));
}

QAction *TfmMain::AddMenuItem(QMenu &menu, const char *name, const QString &caption,
                              const QString &hint, void (TfmMain::*handler)(),
                              const QKeySequence &shortcut) {
    QAction *item = menu.addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    SetHint(*item, hint);
    // The main window shows an action's status tip when the menu highlights
    // it; without one it would empty the status line again.
    item->setStatusTip(LongHintOf(*item));
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, Guarded([this, handler] { (this->*handler)(); }));
    return item;
}

void TfmMain::CreateMenu() {
    FileMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    FileNewItem = AddMenuItem(*FileMenu, "FileNewItem", QStringLiteral("&Neu"),
                              QStringLiteral("Neue Datei erzeugen"), &TfmMain::FileNew,
                              QKeySequence(Qt::CTRL | Qt::Key_N));
    FileOpenItem = AddMenuItem(*FileMenu, "FileOpenItem", QStringLiteral("Projekt ö&ffnen..."),
                               QStringLiteral("Existierendes Projekt öffnen"), &TfmMain::FileOpen,
                               QKeySequence(Qt::CTRL | Qt::Key_O));
    FileSaveItem = AddMenuItem(*FileMenu, "FileSaveItem", QStringLiteral("Projekt &speichern"),
                               QStringLiteral("Aktuelles Projekt speichern"), &TfmMain::FileSave,
                               QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSaveAsItem =
        AddMenuItem(*FileMenu, "FileSaveAsItem", QStringLiteral("Projekt speichern &unter..."),
                    QStringLiteral("Aktuelles Projekt unter neuem Namen speichern"),
                    &TfmMain::FileSaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    N1 = FileMenu->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    FileExitItem = AddMenuItem(*FileMenu, "FileExitItem", QStringLiteral("&Beenden"),
                               QStringLiteral("Diese Anwendung beenden"), &TfmMain::FileExit);

    // Windows that show the project as a whole, enabled once a project is
    // open, and the import that starts a new one.
    ExtrasMenu = menuBar()->addMenu(QStringLiteral("&Extras"));
    ExtrasMenu->setObjectName(QStringLiteral("ExtrasMenu"));
    ExtrasMapItem = AddMenuItem(*ExtrasMenu, "ExtrasMapItem", QStringLiteral("Netzkarte…"),
                                QStringLiteral("Stationen und Linien auf einer Karte zeigen"),
                                &TfmMain::ExtrasMapClick);
    ExtrasQueryItem =
        AddMenuItem(*ExtrasMenu, "ExtrasQueryItem", QStringLiteral("Verbindungs-Abfrage…"),
                    QStringLiteral("Verbindungen zwischen zwei Stationen abfragen"),
                    &TfmMain::ExtrasQueryClick);
    ExtrasGtfsItem =
        AddMenuItem(*ExtrasMenu, "ExtrasGtfsItem", QStringLiteral("GTFS exportieren…"),
                    QStringLiteral("Das Projekt als GTFS-Feed für Fahrplanauskünfte exportieren"),
                    &TfmMain::ExtrasGtfsClick);
    ExtrasPrintItem = AddMenuItem(*ExtrasMenu, "ExtrasPrintItem", QStringLiteral("Drucken…"),
                                  QStringLiteral("Fahrplantabellen und Aushangfahrpläne drucken "
                                                 "oder als PDF speichern"),
                                  &TfmMain::ExtrasPrintClick);
    ExtrasGraphItem =
        AddMenuItem(*ExtrasMenu, "ExtrasGraphItem", QStringLiteral("Bildfahrplan…"),
                    QStringLiteral("Die Fahrten einer Linie über Zeit und Weg zeigen"),
                    &TfmMain::ExtrasGraphClick);
    ExtrasOperatingDaysItem = AddMenuItem(
        *ExtrasMenu, "ExtrasOperatingDaysItem", QStringLiteral("Betriebstage…"),
        QStringLiteral("An welchen Tagen eine Tagesgruppe oder eine Fußnote fährt, Feiertage "
                       "und Ferien im Jahr"),
        &TfmMain::ExtrasOperatingDaysClick);
    // A new project from a feed: reachable without a project, so the menu
    // stays open and only the items that need one wait for it.
    ExtrasGtfsImportItem =
        AddMenuItem(*ExtrasMenu, "ExtrasGtfsImportItem", QStringLiteral("GTFS importieren…"),
                    QStringLiteral("Ein neues Projekt aus einem GTFS-Feed anlegen"),
                    &TfmMain::ExtrasGtfsImportClick);
    EnableProjectExtras(false);
}

void TfmMain::EnableProjectExtras(bool enabled) {
    for (QAction *item : {ExtrasMapItem, ExtrasQueryItem, ExtrasGtfsItem, ExtrasPrintItem,
                          ExtrasGraphItem, ExtrasOperatingDaysItem})
        item->setEnabled(enabled);
}

QToolButton *TfmMain::AddSpeedButton(const char *name, const QString &hint, SpeedIcon picture) {
    auto *button = new QToolButton(SpeedBar);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIconSize(QSize(20, 20));
    button->setIcon(SpeedBarIcon(picture));
    SetHint(*button, hint);
    button->installEventFilter(this);
    SpeedBar->layout()->addWidget(button);
    return button;
}

void TfmMain::CreateSpeedBar() {
    SpeedBar = new QWidget(this);
    SpeedBar->setObjectName(QStringLiteral("SpeedBar"));
    auto *layout = new QHBoxLayout(SpeedBar);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);

    SpeedButton1 = AddSpeedButton("SpeedButton1", QStringLiteral("Neu|"), SpeedIcon::New);
    SpeedButton2 = AddSpeedButton("SpeedButton2", QStringLiteral("Öffnen|"), SpeedIcon::Open);
    SaveButton = AddSpeedButton("SaveButton", QStringLiteral("Speichern|"), SpeedIcon::Save);
    SaveAsButton =
        AddSpeedButton("SaveAsButton", QStringLiteral("Speichern unter|"), SpeedIcon::SaveAs);
    ErstellenButton =
        AddSpeedButton("ErstellenButton", QStringLiteral("Erstellen..."), SpeedIcon::Build);
    WebAnsichtButton =
        AddSpeedButton("WebAnsichtButton", QStringLiteral("Vorschau"), SpeedIcon::Preview);
    SpeedButton3 = AddSpeedButton("SpeedButton3", QString(), SpeedIcon::Query);
    layout->addStretch(1);

    // Kept in the design for later tasks; nothing shows them.
    ErstellenButton->hide();
    WebAnsichtButton->hide();
    SpeedButton3->hide();

    connect(SpeedButton1, &QToolButton::clicked, this, Guarded([this] { FileNew(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, Guarded([this] { FileOpen(); }));
    connect(SaveButton, &QToolButton::clicked, this, Guarded([this] { FileSave(); }));
    connect(SaveAsButton, &QToolButton::clicked, this, Guarded([this] { FileSaveAs(); }));
    connect(WebAnsichtButton, &QToolButton::clicked, this,
            Guarded([this] { WebAnsichtButtonClick(); }));
    connect(SpeedButton3, &QToolButton::clicked, this, Guarded([this] { SpeedButton3Click(); }));
}

QPushButton *TfmMain::AddWorkButton(const char *name, const QString &caption) {
    auto *button = new QPushButton(caption, paWorkChoice);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(200, 40);
    QFont font = button->font();
    font.setPointSizeF(font.pointSizeF() * 1.2);
    button->setFont(font);
    return button;
}

void TfmMain::CreateWorkPanel() {
    auto *central = new QWidget(this);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(SpeedBar);

    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    centralLayout->addWidget(Panel1, 1);
    auto *panelLayout = new QVBoxLayout(Panel1);

    paWorkChoice = new QWidget(Panel1);
    paWorkChoice->setObjectName(QStringLiteral("paWorkChoice"));
    panelLayout->addWidget(paWorkChoice, 0, Qt::AlignLeft | Qt::AlignTop);
    panelLayout->addStretch(1);
    auto *grid = new QGridLayout(paWorkChoice);

    sbEditProject = AddWorkButton("sbEditProject", QStringLiteral("Projekt-Optionen"));
    sbEditStations = AddWorkButton("sbEditStations", QStringLiteral("Stationen bearbeiten"));
    sbEditLines = AddWorkButton("sbEditLines", QStringLiteral("Linien bearbeiten"));
    sbAssignStations = AddWorkButton("sbAssignStations", QStringLiteral("Stationen zuweisen"));
    sbEditTimeTable = AddWorkButton("sbEditTimeTable", QStringLiteral("Fahrpläne bearbeiten"));
    sbMake = AddWorkButton("sbMake", QStringLiteral("Datenaufbereitung"));
    int row = 0;
    for (QPushButton *button :
         {sbEditProject, sbEditStations, sbEditLines, sbAssignStations, sbEditTimeTable})
        grid->addWidget(button, row++, 0);
    grid->addWidget(sbMake, 0, 1);
    sbMake->hide();
    paWorkChoice->hide();

    connect(sbEditProject, &QPushButton::clicked, this, Guarded([this] { sbEditProjectClick(); }));
    connect(sbEditStations, &QPushButton::clicked, this,
            Guarded([this] { sbEditStationsClick(); }));
    connect(sbEditLines, &QPushButton::clicked, this, Guarded([this] { sbEditLinesClick(); }));
    connect(sbAssignStations, &QPushButton::clicked, this,
            Guarded([this] { sbAssignStationsClick(); }));
    connect(sbEditTimeTable, &QPushButton::clicked, this,
            Guarded([this] { sbEditTimeTableClick(); }));
    connect(sbMake, &QPushButton::clicked, this, Guarded([this] { sbMakeClick(); }));

    setCentralWidget(central);
}

bool TfmMain::eventFilter(QObject *watched, QEvent *event) {
    // Speed buttons: entering shows their long hint (often empty), leaving
    // clears the status line.
    if (event->type() == QEvent::Enter)
        ShowHint(LongHintOf(*watched));
    else if (event->type() == QEvent::Leave)
        ShowHint(QString());
    return QMainWindow::eventFilter(watched, event);
}

void TfmMain::ShowHint(const QString &longHint) {
    if (longHint.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(longHint);
}

FileDialogRequest TfmMain::ProjectDialogRequest(const QString &proposedFile) const {
    return FileDialogRequest{QStringLiteral("ZAL-Projekt (*.zpr)"), QStringLiteral("zpr"),
                             proposedFile};
}

void TfmMain::FileNew() {
    LoadProjectFile(DefaultProjectFile, Project().PrjParams, fmEditProject);
    Project().ProjectFile.clear();
    saveDialogFile_.clear();
    setWindowTitle(QStringLiteral("ZAL-Editor: [neues Projekt]"));
    Dialogs().ShowModal(*DlgFirstSave);

    const auto chosen = Dialogs().SaveFileName(ProjectDialogRequest(saveDialogFile_));
    if (!chosen) {
        HideWorkPanel();
        return;
    }
    saveDialogFile_ = *chosen;
    const std::string path = ToNativePath(*chosen);
    if (!ClaimProjectDir(Project(), DirectoryOf(path)))
        return;
    SaveProjectFile(path, Project().PrjParams);
    Project().ProjectFile = path;
    Project().ProjectDir = DirectoryOf(path);
    StampProjectFile(Project());
    openDialogFile_ = *chosen;
    setWindowTitle(QStringLiteral("ZAL-Editor: ") + *chosen);
    ShowWorkPanel();
}

void TfmMain::ShowWorkPanel() {
    // A new project works as an opened one: every editor is open at once.
    paWorkChoice->show();
    for (QPushButton *button :
         {sbEditProject, sbEditStations, sbEditLines, sbAssignStations, sbEditTimeTable})
        button->setEnabled(true);
    EnableProjectExtras(true);
}

void TfmMain::HideWorkPanel() {
    paWorkChoice->hide();
    EnableProjectExtras(false);
}

void TfmMain::FileOpen() {
    const auto chosen = Dialogs().OpenFileName(ProjectDialogRequest(openDialogFile_));
    if (!chosen)
        return;
    openDialogFile_ = *chosen;
    LoadProject(ToNativePath(*chosen));
}

void TfmMain::LoadProject(const std::string &path) {
    if (!ClaimProjectDir(Project(), DirectoryOf(path)))
        return;
    LoadProjectFile(path, Project().PrjParams, fmEditProject);
    Project().ProjectFile = path;
    Project().ProjectDir = DirectoryOf(path);
    StampProjectFile(Project());
    FileSaveItem->setEnabled(!Project().ReadOnly);
    saveDialogFile_ = FromNativePath(path);
    setWindowTitle(WithReadOnlyMark(Project(), ProgramTitle() + QStringLiteral(":   ") +
                                                   FromNativePath(path)));
    ShowWorkPanel();
}

void TfmMain::OpenFromCommandLine(const QString &argument) {
    const QString path = QFileInfo(argument).absoluteFilePath();
    openDialogFile_ = path;
    LoadProject(ToNativePath(path));
}

void TfmMain::FileSave() {
    if (Project().ProjectFile.empty()) {
        FileSaveAs();
        return;
    }
    const TOverwrite overwrite = MayOverwriteProjectFile(Project());
    if (overwrite == TOverwrite::Keep)
        return;
    if (overwrite == TOverwrite::Reload) {
        LoadProjectFile(Project().ProjectFile, Project().PrjParams, fmEditProject);
        StampProjectFile(Project());
        return;
    }
    SaveProjectFile(Project().ProjectFile, Project().PrjParams);
    StampProjectFile(Project());
}

void TfmMain::FileSaveAs() {
    const auto chosen = Dialogs().SaveFileName(ProjectDialogRequest(saveDialogFile_));
    if (!chosen)
        return;
    saveDialogFile_ = *chosen;
    const std::string path = ToNativePath(*chosen);
    const std::string dir = DirectoryOf(path);
    // Into another folder the planner may take the whole project along; then
    // it goes on there. Otherwise only the project file moves and the other
    // files stay in ProjectDir.
    const bool takeAlong = !Project().ProjectDir.empty() && dir != Project().ProjectDir &&
                           Dialogs().Ask(QStringLiteral("Bestätigung"),
                                         QStringLiteral("Stationen, Linien und Fahrpläne "
                                                        "mitkopieren?")) == Answer::Yes;
    if (takeAlong && !ClaimProjectDir(Project(), dir))
        return;
    {
        // The files taken along and the project file: all or nothing.
        TWriteBatch batch(dir);
        if (takeAlong)
            CopyProjectFiles(Project().ProjectDir, dir);
        SaveProjectFile(path, Project().PrjParams);
        batch.Commit();
    }
    Project().ProjectFile = path;
    StampProjectFile(Project());
    if (takeAlong)
        Project().ProjectDir = dir;
    openDialogFile_ = *chosen;
    setWindowTitle(QStringLiteral("ZAL-Editor: ") + *chosen);
}

void TfmMain::FileExit() {
    close();
}

void TfmMain::ExtrasMapClick() {
    if (!NoProjectDir(Project()))
        Dialogs().ShowModal(*fmMap);
}

void TfmMain::ExtrasQueryClick() {
    if (!NoProjectDir(Project()))
        Dialogs().ShowModal(*fmQuery);
}

void TfmMain::ExtrasGtfsClick() {
    if (!NoProjectDir(Project()))
        Dialogs().ShowModal(*fmGtfsExport);
}

void TfmMain::ExtrasPrintClick() {
    if (!NoProjectDir(Project()))
        Dialogs().ShowModal(*fmPrint);
}

void TfmMain::ExtrasGraphClick() {
    if (!NoProjectDir(Project()))
        Dialogs().ShowModal(*fmGraph);
}

void TfmMain::ExtrasOperatingDaysClick() {
    if (!NoProjectDir(Project()))
        Dialogs().ShowModal(*fmOperatingDays);
}

void TfmMain::ExtrasGtfsImportClick() {
    Dialogs().ShowModal(*fmGtfsImport);
}

void TfmMain::sbEditProjectClick() {
    Dialogs().ShowModal(*fmEditProject);
}

void TfmMain::sbEditStationsClick() {
    Dialogs().ShowModal(*fmEditStations);
}

void TfmMain::sbEditLinesClick() {
    Dialogs().ShowModal(*fmEditLines);
}

void TfmMain::sbAssignStationsClick() {
    Dialogs().ShowModal(*fmEditLineStations);
}

void TfmMain::sbEditTimeTableClick() {
    Dialogs().ShowModal(*fmEditTimeTable);
}

void TfmMain::WebAnsichtButtonClick() {
    Dialogs().ShowModal(*fmWebCopy);
}

void TfmMain::SpeedButton3Click() {
    if (!NoProjectFile(Project()))
        Dialogs().ShowModal(*fmQuery);
}

void TfmMain::sbMakeClick() {
    if (!NoProjectFile(Project()))
        Dialogs().ShowModal(*fmMake);
}

} // namespace takton::gui
