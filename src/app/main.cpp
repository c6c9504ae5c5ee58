// The Takton editor: creates the twelve windows in their order, shows the main
// window and runs until it is closed. An optional argument names a project
// file to open, as "Projekt öffnen..." would. "--browser-module" only loads
// the embedded browser's module and tells where from (a check of an
// installation).

#include "app/app_windows.h"
#include "app/main_window.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "gui/common/speed_icons.h"
#include "gui/common/translations.h"
#include "gui/webcopy/web_browser.h"

#include <QStringList>
#include <cstdio>

#ifdef TAKTON_STARTUP_PROBE
#include <QTimer>
#include <time.h>
#endif

int main(int argc, char **argv) {
    using namespace takton::gui;
    PrepareWebBrowser();
    TaktonApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Takton"));
    // Drawn, not decoded from a file: the start does not wait for image readers.
    QApplication::setWindowIcon(ProgramIcon());
    LoadGermanTranslations(app);

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2 && arguments.at(1) == QLatin1String("--browser-module")) {
        QString why;
        const QString path = LoadWebBrowserModule(why);
        std::puts(qUtf8Printable(path.isEmpty() ? why : path));
        return path.isEmpty() ? 1 : 0;
    }

    CreateWindows();
    fmMain->show();

    if (arguments.size() > 1)
        RunGuarded([&] { fmMain->OpenFromCommandLine(arguments.at(1)); });

#ifdef TAKTON_STARTUP_PROBE
    // Start-up benchmark: report the moment the shown window has been handled
    // by the event loop, then end.
    QTimer::singleShot(0, [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QApplication::quit();
    });
#endif

    const int result = QApplication::exec();
    DestroyWindows();
    return result;
}
