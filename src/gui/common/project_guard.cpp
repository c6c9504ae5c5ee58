#include "gui/common/project_guard.h"

#include "core/files/file_io.h"
#include "core/files/project_lock.h"
#include "core/files/write_batch.h"
#include "core/util/cp1252.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "render/qt_text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <memory>
#include <vector>

namespace takton::gui {
namespace {

// The object names of the controls that write the project's files. The
// timetable editor opens all the same: a planner may read a timetable and try
// changes, which its disabled save button keeps from the file.
bool WritesProject(const QObject &control) {
    static const QSet<QString> names = {
        QStringLiteral("btSave"),           QStringLiteral("btNewStation"),
        QStringLiteral("btStationEdit"),    QStringLiteral("btStationDelete"),
        QStringLiteral("btImportData"),     QStringLiteral("btNewLine"),
        QStringLiteral("btLineEdit"),       QStringLiteral("btLineDelete"),
        QStringLiteral("btStationToLine"),  QStringLiteral("btDeleteStation"),
        QStringLiteral("btStationUp"),      QStringLiteral("btStationDown"),
        QStringLiteral("btAddDayGroup"),    QStringLiteral("btRenameDayGroup"),
        QStringLiteral("btDeleteDayGroup"), QStringLiteral("SaveButton")};
    return qobject_cast<const QAbstractButton *>(&control) && names.contains(control.objectName());
}

// Keeps the writing controls of every window disabled while read-only: a
// control is disabled when it is shown or enabled by its window.
class ReadOnlyKeeper : public QObject {
  public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::EnabledChange) &&
            WritesProject(*watched))
            Disable(*static_cast<QWidget *>(watched));
        return false;
    }

    void Disable(QWidget &control) {
        if (!control.isEnabled())
            return;
        disabled_.emplace_back(&control);
        control.setEnabled(false);
    }

    void DisableEverywhere() {
        for (QWidget *window : QApplication::allWidgets())
            if (WritesProject(*window))
                Disable(*window);
    }

    // Gives back what it took.
    void EnableAgain() {
        for (const auto &control : disabled_)
            if (control)
                control->setEnabled(true);
        disabled_.clear();
    }

  private:
    std::vector<QPointer<QWidget>> disabled_;
};

ReadOnlyKeeper *gKeeper = nullptr;

bool InFolder(const std::string &path, const std::string &dir) {
    return !dir.empty() && DirectoryOf(path) == dir;
}

// Read-only in the folder (empty: nowhere): the file layer refuses to write
// there, and the writing controls of every window stay disabled.
void SetReadOnly(TOpenProject &project, const std::string &dir) {
    project.ReadOnly = !dir.empty();
    if (dir.empty()) {
        SetWriteRefusal({});
        if (gKeeper) {
            qApp->removeEventFilter(gKeeper);
            gKeeper->EnableAgain();
        }
        return;
    }
    SetWriteRefusal([dir](const std::string &path) -> std::optional<std::string> {
        if (InFolder(path, dir))
            return Cp1252("Das Projekt ist schreibgeschützt geöffnet; es wird nichts gespeichert.");
        return std::nullopt;
    });
    if (!gKeeper)
        gKeeper = new ReadOnlyKeeper;
    qApp->installEventFilter(gKeeper);
    gKeeper->DisableEverywhere();
}

} // namespace

bool ClaimProjectDir(TOpenProject &project, const std::string &dir) {
    std::shared_ptr<TProjectLock> &held = project.Lock;
    if (held && held->Held() && held->Dir() == dir)
        return true;
    auto lock = std::make_shared<TProjectLock>();
    if (const auto owner = lock->Acquire(dir)) {
        const QString text = FromCp1252(LockOwnerText(*owner)) +
                             QStringLiteral("\n\nProjekt schreibgeschützt öffnen?");
        if (Dialogs().Ask(QStringLiteral("Projekt gesperrt"), text) != Answer::Yes)
            return false;
        held.reset();
        SetReadOnly(project, dir);
        return true;
    }
    held = std::move(lock);
    SetReadOnly(project, {});
    if (held->Held())
        RecoverInterruptedWrites(dir);
    return true;
}

void ReleaseProjectDir(TOpenProject &project) {
    project.Lock.reset();
    SetReadOnly(project, {});
}

QString WithReadOnlyMark(const TOpenProject &project, const QString &title) {
    return project.ReadOnly ? title + QStringLiteral(" [schreibgeschützt]") : title;
}

TOverwrite MayOverwrite(const std::string &path, const TFileStamp &stamp) {
    // A file gone meanwhile holds nobody's work: written anew without asking.
    if (UnchangedSince(path, stamp) || !FileExists(path))
        return TOverwrite::Write;
    const QString text = QStringLiteral("Die Datei ") + FromNativePath(path) +
                         QStringLiteral(" wurde geändert, seit dieses Fenster sie gelesen hat.\n\n"
                                        "Überschreiben? (Nein: neu laden; die Änderungen in "
                                        "diesem Fenster gehen verloren. Abbrechen: nichts "
                                        "speichern, die Änderungen bleiben im Fenster.)");
    switch (Dialogs().ConfirmWithCancel(QStringLiteral("Datei geändert"), text)) {
    case Answer::Yes:
        return TOverwrite::Write;
    case Answer::No:
        return TOverwrite::Reload;
    default:
        return TOverwrite::Keep;
    }
}

void StampProjectFile(TOpenProject &project) {
    project.ProjectFileStamp = StampFile(project.ProjectFile);
    project.StampedProjectFile = project.ProjectFile;
}

TOverwrite MayOverwriteProjectFile(const TOpenProject &project) {
    if (project.ProjectFile != project.StampedProjectFile)
        return TOverwrite::Write;
    return MayOverwrite(project.ProjectFile, project.ProjectFileStamp);
}

} // namespace takton::gui
