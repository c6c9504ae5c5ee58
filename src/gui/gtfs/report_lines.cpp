#include "gui/gtfs/report_lines.h"

#include "render/qt_text.h"

namespace takton::gui {

void AppendLines(QStringList &text, const QString &heading, const std::vector<std::string> &lines) {
    if (lines.empty())
        return;
    text << heading;
    for (const std::string &line : lines)
        text << QStringLiteral("  ") + FromCp1252(line);
}

} // namespace takton::gui
