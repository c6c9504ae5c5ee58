#include "gui/common/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace takton::gui {

bool LoadGermanTranslations(QCoreApplication &app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Owned by the application: it lives as long as the texts are needed.
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                          QStringLiteral("_"), dir)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace takton::gui
