// The yardstick of the start-up benchmark: a minimal Qt Widgets program that
// shows one empty window, reports the moment it has been shown, and ends.
// Built a second time with MINIMAL_WITH_TEXT, the window holds one label, so
// that the fonts are set up as in any window with text.

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <time.h>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QWidget window;
#ifdef MINIMAL_WITH_TEXT
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Takton"), &window));
#endif
    window.show();
    QTimer::singleShot(0, [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QApplication::quit();
    });
    return QApplication::exec();
}
