#pragma once

// What every window test needs: the twelve windows freshly created, the dialog
// seam answered by a double, a clean project state and a temporary folder
// with a "default.zpr" that new projects start from.

#include "app/app_windows.h"
#include "core/model/prj_params.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "support/dialogs_double.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

namespace takton::testing {

// A project file in the exact format (CR LF), built from lines.
inline QByteArray IniText(std::initializer_list<const char *> lines) {
    QByteArray text;
    for (const char *line : lines)
        text += QByteArray(line) + "\r\n";
    return text;
}

#ifdef TAKTON_SOURCE_DIR
// The bundled demo project, copied into a test's folder.
inline void CopyDemoProject(const QString &target) {
    QDir().mkpath(target);
    QDirIterator files(QStringLiteral(TAKTON_SOURCE_DIR "/examples/demo"), QDir::Files);
    while (files.hasNext()) {
        const QString file = files.next();
        QFile::copy(file, QDir(target).filePath(QFileInfo(file).fileName()));
    }
}
#endif

inline QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void WriteBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

class GuiFixture {
  public:
    GuiFixture() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        gui::OpenProject().PrjParams = TPrjParams{};
        gui::OpenProject().ProjectFile.clear();
        gui::OpenProject().ProjectDir.clear();
        dialogs = std::make_unique<gui::DialogsDouble>();
        gui::CreateWindows();
        // New projects start from this file rather than the one beside the
        // test program.
        defaultFile = path(QStringLiteral("program/default.zpr"));
        WriteBytes(
            defaultFile,
            IniText({"[daygroups]", "daygroupnames=Mo-Fr,So", "Mo-Fr_text=Montag bis Freitag",
                     "Mo-Fr_days=monday,tuesday,wednesday,thursday,friday", "So_text=Sonntag",
                     "So_days=sunday", "[timetable]", "max_drive_minutes=60"}));
        gui::DefaultProjectFile = defaultFile.toStdString();
    }
    ~GuiFixture() {
        gui::DestroyWindows();
        dialogs.reset();
    }

    QString path(const QString &relative) const { return dir.filePath(relative); }

    QTemporaryDir dir;
    QString defaultFile;
    std::unique_ptr<gui::DialogsDouble> dialogs;
};

} // namespace takton::testing

// The main of a window test program: the application object, then the tests.
#define TAKTON_GUI_TEST_MAIN(TestClass)                                                            \
    int main(int argc, char **argv) {                                                              \
        takton::gui::TaktonApplication app(argc, argv);                                            \
        app.setQuitOnLastWindowClosed(false);                                                      \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
