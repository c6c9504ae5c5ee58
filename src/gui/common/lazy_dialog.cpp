#include "gui/common/lazy_dialog.h"

namespace takton::gui {

void TLazyDialog::EnsureControls() {
    if (controlsCreated_)
        return;
    controlsCreated_ = true;
    CreateControls();
}

void TLazyDialog::setVisible(bool visible) {
    if (visible)
        EnsureControls();
    QDialog::setVisible(visible);
}

} // namespace takton::gui
