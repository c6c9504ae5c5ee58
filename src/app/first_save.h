#pragma once

// The notice shown before a new project is first saved.

#include <QDialog>

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace takton::gui {

class TDlgFirstSave : public QDialog {
    Q_OBJECT
  public:
    explicit TDlgFirstSave(QWidget *parent = nullptr);

  private:
    QFrame *Bevel1;
    QPlainTextEdit *Memo1;
    QPushButton *OKBtn;
};

} // namespace takton::gui
