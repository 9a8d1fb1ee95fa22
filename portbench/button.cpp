#include "button.h"

#include <QMouseEvent>

void TButton::mouseReleaseEvent(QMouseEvent* event) {
    QPushButton::mouseReleaseEvent(event); // the button comes up
    if (!OnMouseUp) return;
    // Drawn at once: a handler that shows a box or runs a scan must not stand
    // over a button still drawn pressed.
    repaint();
    OnMouseUp();
}
