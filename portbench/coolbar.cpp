#include "coolbar.h"

#include <QLinearGradient>
#include <QPainter>

void TCoolBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor base = palette().color(QPalette::Window);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, base.lighter(104));
    shade.setColorAt(1, base.darker(106));
    painter.fillRect(rect(), shade);

    // The band's grip: two raised ridges before the tool bar.
    for (int x : {3, 6}) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(x, 3, x, height() - 10);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(x + 1, 3, x + 1, height() - 10);
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
