#include "import/web_browser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>
#include <QStringList>
#include <unistd.h>

// Exported by Qt's GUI library without a public header; the application
// object uses them for the context that AA_ShareOpenGLContexts asks for.
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace takton::gui {

namespace {

const QString kModuleFile = QStringLiteral("takton_browser.so");

// Beside the program (the build tree, a copied program), in the library
// folder of an installation, and in the build tree for the test programs.
QStringList ModuleCandidates() {
    QStringList dirs = {QCoreApplication::applicationDirPath()};
#ifdef TAKTON_BROWSER_INSTALL_DIR
    dirs << QStringLiteral(TAKTON_BROWSER_INSTALL_DIR);
#endif
#ifdef TAKTON_BROWSER_BUILD_DIR
    dirs << QStringLiteral(TAKTON_BROWSER_BUILD_DIR);
#endif
    QStringList candidates;
    for (const QString &dir : dirs)
        candidates << QDir(dir).filePath(kModuleFile);
    return candidates;
}

// The web engine draws through OpenGL contexts shared with a global one. Asked
// for with AA_ShareOpenGLContexts before the application object exists, the
// application makes that context at once, which on an X display takes as long
// as the whole rest of the start. So it is made here, as the application
// would have made it, just before the browser module is loaded. Where there
// is no OpenGL (the offscreen platform) the engine draws in software.
void ShareOpenGLContexts() {
    if (qt_gl_global_share_context())
        return;
    auto *context = new QOpenGLContext(qApp);
    // Set also when it cannot be made: the engine then knows to draw in software.
    context->create();
    qt_gl_set_global_share_context(context);
}

// The factory of the first module found; loaded once, never unloaded.
TCreateWebBrowserFn LoadFactory(QString &why) {
    static TCreateWebBrowserFn factory = nullptr;
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        failure =
            QStringLiteral("Der eingebettete Browser (%1) wurde nicht gefunden.").arg(kModuleFile);
        ShareOpenGLContexts();
        for (const QString &candidate : ModuleCandidates()) {
            if (!QFileInfo::exists(candidate))
                continue;
            QLibrary module(candidate);
            factory =
                reinterpret_cast<TCreateWebBrowserFn>(module.resolve(kCreateWebBrowserSymbol));
            if (factory)
                break;
            failure = QStringLiteral("Der eingebettete Browser konnte nicht geladen werden: %1")
                          .arg(module.errorString());
        }
    }
    if (!factory)
        why = failure;
    return factory;
}

} // namespace

void PrepareWebBrowser() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

std::unique_ptr<TWebBrowser> CreateWebBrowser(QWidget *parent, QString &why) {
    const TCreateWebBrowserFn factory = LoadFactory(why);
    if (!factory)
        return nullptr;
    return std::unique_ptr<TWebBrowser>(factory(parent));
}

} // namespace takton::gui
