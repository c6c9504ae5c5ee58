#include "app/first_save.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace takton::gui {

TDlgFirstSave::TDlgFirstSave(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DlgFirstSave"));
    setWindowTitle(QStringLiteral("Hinweis"));
    setModal(true);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Memo1 = new QPlainTextEdit(Bevel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameStyle(QFrame::NoFrame);
    Memo1->setPlainText(QStringLiteral("Bevor Sie mit den Eingaben für das neue Projekt\n"
                                       "beginnen können, muß dieses zunächst gespeichert\n"
                                       "werden. \n"
                                       "\n"
                                       "Wählen Sie im nachfolgenden Dialog ein möglichst \n"
                                       "leeres Verzeichnis\n"
                                       "aus und vergeben Sie einen Dateinamen."));
    auto *bevelLayout = new QVBoxLayout(Bevel1);
    bevelLayout->addWidget(Memo1);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Bevel1);
    layout->addWidget(OKBtn, 0, Qt::AlignHCenter);

    const int width = Memo1->fontMetrics().horizontalAdvance(
                          QStringLiteral("beginnen können, muß dieses zunächst gespeichert")) +
                      80;
    setFixedSize(width, Memo1->fontMetrics().lineSpacing() * 9 + 110);
}

} // namespace takton::gui
