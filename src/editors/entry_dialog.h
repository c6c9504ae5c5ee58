#pragma once

// What the master-data editors share: their controls are built on the first
// showing, so that start-up stays quick; Enter and Escape act on the default
// and cancel buttons only while these are visible; every way of closing asks
// the window first.

#include <QDialog>

class QPushButton;

namespace takton::gui {

class TEntryDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TEntryDialog(QWidget *parent = nullptr);

    // Builds the controls if they are not there yet; before that the
    // control pointers of the window are null.
    void EnsureControls();
    void setVisible(bool visible) override;
    // Closing by the frame, close() and the keyboard all end here.
    void reject() override;

  protected:
    virtual void CreateControls() = 0;
    // Whether the window may close now; refusals show nothing.
    virtual void FormCloseQuery(bool &canClose) = 0;
    // The button that Escape clicks while it is visible.
    virtual QPushButton *EscapeButton() const = 0;

    void keyPressEvent(QKeyEvent *event) override;

    bool CloseAllowed();

  private:
    bool controlsCreated_ = false;
};

} // namespace takton::gui
