#include "skin.h"

#include "deferred_icon.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

namespace {

// Fusion, with group boxes drawn the classic way: the caption sits on the top
// edge of the frame instead of above it, so controls placed a few pixels below
// the top edge stay inside the frame.
class PortBenchStyle : public QProxyStyle {
  public:
    PortBenchStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

    // Every tool bar asks for its extension button's picture when it is made;
    // it is read when the button is first drawn (deferred_icon.h).
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton ||
            which == SP_ToolBarVerticalExtensionButton) {
            const Qt::LayoutDirection direction =
                option ? option->direction : QGuiApplication::layoutDirection();
            return DeferredStandardIcon(baseStyle(), which, direction);
        }
        return QProxyStyle::standardIcon(which, option, widget);
    }

    // Check and radio boxes with the classic 13-pixel indicator and 4 pixels
    // before the caption, so that captions fit the boxes as laid out.
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return 13;
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return 4;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control == CC_GroupBox && box && !(box->subControls & SC_GroupBoxCheckBox)) {
            const int lineHeight = box->fontMetrics.height();
            switch (sub) {
            case SC_GroupBoxFrame:
                return box->rect.adjusted(0, lineHeight / 2, 0, 0);
            case SC_GroupBoxLabel:
                return QRect(box->rect.x() + 7, box->rect.y(),
                             box->fontMetrics.horizontalAdvance(box->text) + 4, lineHeight);
            case SC_GroupBoxContents:
                return box->rect.adjusted(2, lineHeight, -2, -2);
            default:
                break;
            }
        }
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !box || (box->subControls & SC_GroupBoxCheckBox)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        painter->save();
        // An etched frame: a dark line with a light one inside it.
        const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(box->palette.color(QPalette::Light));
        painter->drawRoundedRect(QRectF(frame).adjusted(1.5, 1.5, -0.5, -0.5), 3, 3);
        painter->setPen(box->palette.color(QPalette::Mid));
        painter->drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -1.5, -1.5), 3, 3);
        painter->setRenderHint(QPainter::Antialiasing, false);
        if (!box->text.isEmpty()) {
            const QRect label = subControlRect(control, option, SC_GroupBoxLabel, widget);
            painter->fillRect(label, box->palette.brush(QPalette::Window));
            proxy()->drawItemText(painter, label, Qt::AlignCenter | Qt::TextShowMnemonic,
                                  box->palette, box->state & State_Enabled, box->text,
                                  QPalette::WindowText);
        }
        painter->restore();
    }
};

QPalette SkinPalette() {
    const QColor window(0xEE, 0xF1, 0xF6);
    const QColor button(0xE3, 0xE8, 0xF0);
    const QColor text(0x1A, 0x1C, 0x20);
    QPalette palette(button, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(0xF5, 0xF7, 0xFA));
    palette.setColor(QPalette::Highlight, QColor(0x2F, 0x6C, 0xC0));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::Link, QColor(0x1F, 0x55, 0xB0));
    palette.setColor(QPalette::PlaceholderText, QColor(0x8A, 0x8F, 0x98));
    const QColor disabled(0x8A, 0x8F, 0x98);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

} // namespace

void ApplySkin(QApplication& app) {
    // Drawn the same on every desktop, so the window looks as designed anywhere.
    app.setStyle(new PortBenchStyle);
    app.setPalette(SkinPalette());
}
