#pragma once

// The central error handler: an error raised while a user command runs is
// shown in a message box with its German text, and the program goes on in the
// state the command reached.

#include <QApplication>
#include <exception>
#include <type_traits>
#include <utility>

namespace takton::gui {

// Shows the error in flight (TaktonError's cp1252 text, any other exception's
// text) through the dialog seam.
void ReportException(std::exception_ptr error);

// Runs a command; whatever it raises is reported, never passed on.
template <class Command> void RunGuarded(Command &&command) {
    try {
        std::forward<Command>(command)();
    } catch (...) {
        ReportException(std::current_exception());
    }
}

// Wraps a handler for connect(): the slot reports instead of throwing into Qt.
// A handler that takes no arguments ignores those of the signal.
template <class Handler> auto Guarded(Handler handler) {
    return [handler](const auto &...args) {
        RunGuarded([&] {
            if constexpr (std::is_invocable_v<const Handler &, decltype(args)...>)
                handler(args...);
            else
                handler();
        });
    };
}

// The application object: a last line of defence for handlers that were not
// wrapped, so that no error ends the program.
class TaktonApplication : public QApplication {
  public:
    TaktonApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace takton::gui
