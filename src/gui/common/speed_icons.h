#pragma once

// Small pictures for the speed bar, drawn when they are first painted rather
// than loaded from image files: the main window opens without decoding any.

#include <QIcon>

namespace takton::gui {

enum class SpeedIcon { New, Open, Save, SaveAs, Build, Preview, Query };

QIcon SpeedBarIcon(SpeedIcon kind);

// The program's window icon, drawn like resources/takton.png.
QIcon ProgramIcon();

} // namespace takton::gui
