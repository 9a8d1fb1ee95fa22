// Mouse input delivered as the window system would: through the application
// object, so that an error escaping a handler meets the program's error box.
#ifndef PORTBENCH_TEST_WINDOW_INPUT_H
#define PORTBENCH_TEST_WINDOW_INPUT_H

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

inline void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButtons buttons,
                      QPoint at = {}) {
    if (at.isNull()) at = widget->rect().center();
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// A left click in the middle of the widget: press, then release.
inline void Click(QWidget* widget) {
    SendMouse(widget, QEvent::MouseButtonPress, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, Qt::NoButton);
}

inline void DoubleClick(QWidget* widget) {
    SendMouse(widget, QEvent::MouseButtonPress, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, Qt::NoButton);
    SendMouse(widget, QEvent::MouseButtonDblClick, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, Qt::NoButton);
}

#endif
