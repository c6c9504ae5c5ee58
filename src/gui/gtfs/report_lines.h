#pragma once

// The report of an export or import as the windows list it.

#include <QStringList>
#include <string>
#include <vector>

namespace takton::gui {

// The heading and below it each line indented; nothing when there are none.
void AppendLines(QStringList &text, const QString &heading, const std::vector<std::string> &lines);

} // namespace takton::gui
