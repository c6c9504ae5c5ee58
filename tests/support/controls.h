#pragma once

// Steps that reach a window's controls. Every window keeps its widgets to
// itself and gives each the object name it is known by ("cbLines",
// "btSave"); a test finds a control by that name, as Control<QComboBox>(
// fmEditTimeTable, "cbLines"). A control that is not there, or that the window
// holds twice under one name, stops the test program at once with the name,
// the window and the place of the step.

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QMainWindow>
#include <QObject>
#include <QtGlobal>
#include <source_location>

namespace takton::testing {

namespace controls_detail {

// Whether the object belongs to the window itself rather than to another
// window the window owns (the editors belong to the main window).
inline bool OwnControl(const QObject *window, const QObject *object) {
    for (const QObject *up = object->parent(); up && up != window; up = up->parent())
        if (qobject_cast<const QDialog *>(up) || qobject_cast<const QMainWindow *>(up))
            return false;
    return true;
}

inline QByteArray WindowName(const QObject *window) {
    const QByteArray name = window->objectName().toUtf8();
    return name.isEmpty() ? QByteArray(window->metaObject()->className()) : name;
}

// The window's own controls of this type and name.
template <class W> QList<W *> OwnControls(const QObject *window, const char *name) {
    QList<W *> own;
    for (W *found : window->findChildren<W *>(QString::fromLatin1(name)))
        if (OwnControl(window, found))
            own << found;
    return own;
}

[[noreturn]] inline void Stop(const std::source_location &where, const QByteArray &what) {
    qFatal("%s:%u: %s", where.file_name(), static_cast<unsigned>(where.line()), what.constData());
}

} // namespace controls_detail

// The window's control of this type and name, or null when the window has
// none (its controls are not built yet, say). Two of them stop the test.
template <class W>
W *FindControl(const QObject *window, const char *name,
               std::source_location where = std::source_location::current()) {
    using namespace controls_detail;
    if (!window)
        Stop(where, QByteArray("no window to look for \"") + name + "\" in");
    const QList<W *> own = OwnControls<W>(window, name);
    if (own.size() > 1)
        Stop(where, WindowName(window) + " holds " + QByteArray::number(own.size()) + " " +
                        W::staticMetaObject.className() + " named \"" + name + '"');
    return own.isEmpty() ? nullptr : own.first();
}

// The window's control of this type and name; a missing one stops the test.
template <class W>
W *Control(const QObject *window, const char *name,
           std::source_location where = std::source_location::current()) {
    using namespace controls_detail;
    if (W *found = FindControl<W>(window, name, where))
        return found;
    QByteArray why = QByteArray("no ") + W::staticMetaObject.className() + " named \"" + name +
                     "\" in " + WindowName(window);
    const QList<QObject *> named = OwnControls<QObject>(window, name);
    if (!named.isEmpty())
        why += QByteArray(" (a ") + named.first()->metaObject()->className() + " has that name)";
    Stop(where, why);
}

} // namespace takton::testing
