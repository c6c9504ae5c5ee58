#pragma once

// A window whose controls are built on first need (its first showing, or a
// call that needs them), so that creating every window at start-up stays cheap.

#include "gui/common/current_project.h"

#include <QDialog>

namespace takton::gui {

// Every such window works on the open project (TProjectUser).
class TLazyDialog : public QDialog, public TProjectUser {
    Q_OBJECT
  public:
    using QDialog::QDialog;

    // Builds the controls if they are not there yet; before that the
    // control pointers of the window are null.
    void EnsureControls();
    void setVisible(bool visible) override;

  protected:
    virtual void CreateControls() = 0;
    bool ControlsCreated() const { return controlsCreated_; }

  private:
    bool controlsCreated_ = false;
};

} // namespace takton::gui
