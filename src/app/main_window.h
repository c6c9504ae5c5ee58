#pragma once

#include "gui/common/current_project.h"

// The main window: holds the current project, creates, opens and saves project
// files and opens the editors from its work panel.

#include <QMainWindow>
#include <string>

class QAction;
class QMenu;
class QPushButton;
class QToolButton;

namespace takton::gui {

struct FileDialogRequest;
enum class SpeedIcon;

class TfmMain : public QMainWindow, public TProjectUser {
    Q_OBJECT
  public:
    explicit TfmMain(QWidget *parent = nullptr);

    // Commands of the "&Datei" menu and the speed bar.
    void FileNew();
    void FileOpen();
    void LoadProject(const std::string &path);
    void FileSave();
    void FileSaveAs();
    void FileExit();

    // Commands of the "&Extras" menu.
    void ExtrasMapClick();
    void ExtrasQueryClick();
    void ExtrasGtfsClick();
    void ExtrasPrintClick();
    void ExtrasGraphClick();
    void ExtrasOperatingDaysClick();
    void ExtrasGtfsImportClick();

    // A project named on the command line opens as "Projekt öffnen..." would.
    void OpenFromCommandLine(const QString &argument);

    // The work buttons and the hidden controls.
    void sbEditProjectClick();
    void sbEditStationsClick();
    void sbEditLinesClick();
    void sbAssignStationsClick();
    void sbEditTimeTableClick();
    void WebAnsichtButtonClick();
    void SpeedButton3Click();
    void sbMakeClick();

    // The status line shows the long part of the hint under the pointer.
    void ShowHint(const QString &longHint);

    // The file names the two project dialogs propose next.
    const QString &OpenDialogFileName() const { return openDialogFile_; }
    const QString &SaveDialogFileName() const { return saveDialogFile_; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QMenu *FileMenu;
    QAction *FileNewItem;
    QAction *FileOpenItem;
    QAction *FileSaveItem;
    QAction *FileSaveAsItem;
    QAction *N1;
    QAction *FileExitItem;

    QMenu *ExtrasMenu;
    QAction *ExtrasMapItem;
    QAction *ExtrasQueryItem;
    QAction *ExtrasGtfsItem;
    QAction *ExtrasPrintItem;
    QAction *ExtrasGraphItem;
    QAction *ExtrasOperatingDaysItem;
    QAction *ExtrasGtfsImportItem;

    QWidget *SpeedBar;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SaveButton;
    QToolButton *SaveAsButton;
    QToolButton *ErstellenButton;
    QToolButton *WebAnsichtButton;
    QToolButton *SpeedButton3;

    QWidget *Panel1;
    QWidget *paWorkChoice;
    QPushButton *sbEditProject;
    QPushButton *sbEditStations;
    QPushButton *sbEditLines;
    QPushButton *sbAssignStations;
    QPushButton *sbEditTimeTable;
    QPushButton *sbMake;

    void FormCreate();
    void GetProgInfo();
    void CreateMenu();
    QAction *AddMenuItem(QMenu &menu, const char *name, const QString &caption, const QString &hint,
                         void (TfmMain::*handler)(), const QKeySequence &shortcut = {});
    void CreateSpeedBar();
    void CreateWorkPanel();
    void ShowWorkPanel();
    void HideWorkPanel();
    void EnableProjectExtras(bool enabled);
    QToolButton *AddSpeedButton(const char *name, const QString &hint, SpeedIcon picture);
    QPushButton *AddWorkButton(const char *name, const QString &caption);
    FileDialogRequest ProjectDialogRequest(const QString &proposedFile) const;

    QString openDialogFile_;
    QString saveDialogFile_;
};

// The main window's caption at start, "Takton 1.0.1".
QString ProgramTitle();

} // namespace takton::gui
