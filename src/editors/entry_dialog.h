#pragma once

// What the master-data editors share about closing and the keyboard: Enter
// and Escape act on the default and cancel buttons only while these are
// visible, and every way of closing asks the window first.

#include <QDialog>

class QPushButton;

namespace takton::gui {

class TEntryDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TEntryDialog(QWidget *parent = nullptr);

    // Closing by the frame and by the keyboard ends here.
    void reject() override;

  protected:
    // Whether the window may close now; refusals show nothing.
    virtual void FormCloseQuery(bool &canClose) = 0;
    // The button that Escape clicks while it is visible.
    virtual QPushButton *EscapeButton() const = 0;

    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    bool CloseAllowed();
};

} // namespace takton::gui
