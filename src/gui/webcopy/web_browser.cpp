#include "gui/webcopy/web_browser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>
#include <QStringList>
#include <unistd.h>

#ifdef TAKTON_WEBENGINE
// The web engine draws through OpenGL contexts shared with one global context.
// Qt's only public way to get that context is AA_ShareOpenGLContexts before
// the application object exists, which makes the context at once and, on an X
// display, costs as much as the whole rest of the start. Qt's GUI library
// exports the setter that the application object itself uses for it, without
// a public header; it is the one way to make the context on first need, so it
// is declared here. Reading the context goes through the public
// QOpenGLContext::globalShareContext().
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
#endif

namespace takton::gui {

namespace {

#ifdef TAKTON_WEBENGINE

const QString kModuleFile = QStringLiteral("takton_browser.so");

// Only places relative to the program: its own folder (the build tree, a
// copied program), then the library folder of an installation under any
// prefix. No build-tree path is part of the program.
QStringList ModuleCandidates() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    return {programDir.filePath(kModuleFile),
            QDir::cleanPath(programDir.filePath(QStringLiteral("../lib/takton/") + kModuleFile))};
}

// Made as the application would have made it for AA_ShareOpenGLContexts, just
// before the browser module is loaded. Where there is no OpenGL (the offscreen
// platform) the engine draws in software.
void ShareOpenGLContexts() {
    if (QOpenGLContext::globalShareContext())
        return;
    auto *context = new QOpenGLContext(qApp);
    // Set also when it cannot be made: the engine then knows to draw in software.
    context->create();
    qt_gl_set_global_share_context(context);
}

struct TLoadedModule {
    TCreateWebBrowserFn Factory = nullptr;
    QString Path;
    QString Failure;
};

// The first module found; loaded once, never unloaded.
const TLoadedModule &LoadedModule() {
    static const TLoadedModule loaded = [] {
        TLoadedModule result;
        result.Failure =
            QStringLiteral("Der eingebettete Browser (%1) wurde nicht gefunden.").arg(kModuleFile);
        ShareOpenGLContexts();
        for (const QString &candidate : ModuleCandidates()) {
            if (!QFileInfo::exists(candidate))
                continue;
            QLibrary module(candidate);
            result.Factory =
                reinterpret_cast<TCreateWebBrowserFn>(module.resolve(kCreateWebBrowserSymbol));
            if (result.Factory) {
                result.Path = candidate;
                break;
            }
            result.Failure =
                QStringLiteral("Der eingebettete Browser konnte nicht geladen werden: %1")
                    .arg(module.errorString());
        }
        return result;
    }();
    return loaded;
}

#endif

} // namespace

void PrepareWebBrowser() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

#ifdef TAKTON_WEBENGINE

QString LoadWebBrowserModule(QString &why) {
    const TLoadedModule &module = LoadedModule();
    if (!module.Factory)
        why = module.Failure;
    return module.Path;
}

std::unique_ptr<TWebBrowser> CreateWebBrowser(QWidget *parent, QString &why) {
    const TLoadedModule &module = LoadedModule();
    if (!module.Factory) {
        why = module.Failure;
        return nullptr;
    }
    return std::unique_ptr<TWebBrowser>(module.Factory(parent));
}

#else

namespace {
const QString kNoBrowser =
    QStringLiteral("Diese Ausgabe von Takton enthält keinen eingebetteten Browser. "
                   "Kopieren Sie die Seite in einem anderen Browser und fügen Sie sie unter "
                   "\"Tabellen-Kopie\" mit \"HTML einfügen\" ein.");
}

QString LoadWebBrowserModule(QString &why) {
    why = kNoBrowser;
    return {};
}

std::unique_ptr<TWebBrowser> CreateWebBrowser(QWidget *, QString &why) {
    why = kNoBrowser;
    return nullptr;
}

#endif

} // namespace takton::gui
