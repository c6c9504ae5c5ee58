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

    // Each showing of the window.
    virtual void FormShow() = 0;
    // Show and hide "Änderungen speichern": an entry opens with it hidden,
    // its first change shows it.
    void EditOn();
    void EditOff();
    // "Fenser schließen".
    void btCloseClick();

  protected:
    virtual void CreateControls() = 0;
    // Called by CreateControls once the three buttons exist.
    void SetEntryButtons(QPushButton *save, QPushButton *cancel, QPushButton *close);
    // Whether the window may close now: exactly while "Fenser schließen" is
    // shown. Refusals show nothing.
    virtual void FormCloseQuery(bool &canClose);

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

    bool CloseAllowed();

  private:
    bool controlsCreated_ = false;
    QPushButton *save_ = nullptr;
    // The button that Escape clicks while it is visible.
    QPushButton *cancel_ = nullptr;
    QPushButton *close_ = nullptr;
};

} // namespace takton::gui
