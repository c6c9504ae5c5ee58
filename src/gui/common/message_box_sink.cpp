#include "gui/common/message_box_sink.h"

#include "gui/common/dialogs.h"
#include "render/qt_text.h"

namespace takton::gui {

void TMessageBoxSink::ShowMessage(std::string_view cp1252) {
    Dialogs().ShowMessage(FromCp1252(cp1252));
}

} // namespace takton::gui
