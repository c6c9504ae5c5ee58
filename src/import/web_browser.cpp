#include "import/web_browser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>
#include <unistd.h>

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

// The factory of the first module found; loaded once, never unloaded.
TCreateWebBrowserFn LoadFactory(QString &why) {
    static TCreateWebBrowserFn factory = nullptr;
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        failure =
            QStringLiteral("Der eingebettete Browser (%1) wurde nicht gefunden.").arg(kModuleFile);
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
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
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
