// The Takton editor.

#include "model/prog_info.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Takton %1").arg(QString::fromLatin1(takton::ProgVersion)));
    window.show();
    return app.exec();
}
