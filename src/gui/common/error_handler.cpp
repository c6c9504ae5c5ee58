#include "gui/common/error_handler.h"

#include "core/util/error.h"
#include "gui/common/dialogs.h"
#include "render/qt_text.h"

#include <new>

namespace takton::gui {

void ReportException(std::exception_ptr error) {
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const TaktonError &e) {
        text = FromCp1252(e.what());
    } catch (const std::bad_alloc &) {
        text = QStringLiteral("Nicht genügend Arbeitsspeicher.");
    } catch (const std::exception &e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("Unbekannter Fehler.");
    }
    if (text.isEmpty())
        text = QStringLiteral("Unbekannter Fehler.");
    Dialogs().ShowError(text);
}

TaktonApplication::TaktonApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TaktonApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportException(std::current_exception());
        return false;
    }
}

} // namespace takton::gui
