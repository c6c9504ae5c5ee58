#include "render/qt_text.h"

#include "core/util/cp1252.h"

#include <QDir>

namespace takton::gui {

QString FromCp1252(std::string_view text) {
    const std::u16string utf16 = Cp1252ToUtf16(text);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

std::string ToCp1252Lossy(const QString &text) {
    return Utf16ToCp1252Lossy(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                                  static_cast<std::size_t>(text.size())));
}

std::optional<std::string> ToCp1252(const QString &text) {
    return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

QString FromNativePath(const std::string &path) {
    return QString::fromStdString(path);
}

QString SavedText(const QString &path) {
    return QStringLiteral("Gespeichert: ") + QDir::toNativeSeparators(path);
}

std::string ToNativePath(const QString &path) {
    return path.toStdString();
}

} // namespace takton::gui
