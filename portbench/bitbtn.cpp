#include "bitbtn.h"

#include <QStyleOptionButton>
#include <QStylePainter>

void TBitBtn::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    const QIcon glyph = option.icon;
    // The style draws the bevel and focus; glyph and caption go where we put them.
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    int shiftX = 0;
    int shiftY = 0;
    if (isDown()) {
        shiftX = style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this);
        shiftY = style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this);
    }
    const QSize size = iconSize();
    const QRect glyphRect(Margin + shiftX, (height() - size.height()) / 2 + shiftY, size.width(),
                          size.height());
    if (!glyph.isNull())
        glyph.paint(&painter, glyphRect, Qt::AlignCenter,
                    isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const int textLeft = glyphRect.right() + 1 + Spacing;
    const QRect textRect(textLeft, shiftY, width() - textLeft - 2, height());
    painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                         caption, QPalette::ButtonText);
}
