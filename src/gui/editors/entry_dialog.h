#pragma once

// What the master-data editors share: their controls are built on the first
// showing, so that start-up stays quick; Enter and Escape act on the default
// and cancel buttons only while these are visible; every way of closing asks
// the window first.

#include "gui/common/lazy_dialog.h"

class QPushButton;

namespace takton::gui {

class TEntryDialog : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TEntryDialog(QWidget *parent = nullptr);

    // Closing by the frame, close() and the keyboard all end here.
    void reject() override;

    // Each showing of the window.
    virtual void FormShow() = 0;
    // Show and hide "Änderungen speichern": an entry opens with it hidden,
    // its first change shows it.
    void EditOn();
    void EditOff();
    // "Fenser schließen".
    void btCloseClick();

  protected:
    // Called by CreateControls once the three buttons exist.
    void SetEntryButtons(QPushButton *save, QPushButton *cancel, QPushButton *close);
    // Whether the window may close now: exactly while "Fenser schließen" is
    // shown. Refusals show nothing.
    virtual void FormCloseQuery(bool &canClose);

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

    bool CloseAllowed();

  private:
    QPushButton *save_ = nullptr;
    // The button that Escape clicks while it is visible.
    QPushButton *cancel_ = nullptr;
    QPushButton *close_ = nullptr;
};

} // namespace takton::gui
