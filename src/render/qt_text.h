#pragma once

// The GUI's code-page boundary: the core speaks cp1252, Qt speaks UTF-16.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace takton::gui {

QString FromCp1252(std::string_view text);
// Characters that cp1252 cannot hold become '?'.
std::string ToCp1252Lossy(const QString &text);
// Empty optional when the text holds a character that cp1252 cannot hold.
std::optional<std::string> ToCp1252(const QString &text);

// Native file paths (UTF-8 in the core).
QString FromNativePath(const std::string &path);
std::string ToNativePath(const QString &path);

// The status line after a file was written: "Gespeichert: /pfad/netz.pdf".
QString SavedText(const QString &path);

// A count with its noun, singular after exactly 1: "1 Linie", "2 Linien".
inline QString Counted(long long count, const QString &one, const QString &many) {
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

} // namespace takton::gui
