#include "deferred_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include <optional>

namespace {

class DeferredIconEngine : public QIconEngine {
  public:
    DeferredIconEngine(QStyle* style, QStyle::StandardPixmap which, Qt::LayoutDirection direction)
        : style_(style), which_(which), direction_(direction) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, 1.0, mode, state);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        if (!(scale > 1.0)) return pixmap(size, mode, state);
        return Icon().pixmap(size / scale, scale, mode, state);
    }

    // As the toolkit's own pixmap icons paint: the picture for the rectangle,
    // drawn into it.
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * scale, mode, state, scale));
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }

    // The style's standard pictures are built into the toolkit; saying so
    // keeps a question about the icon from loading it.
    bool isNull() override { return false; }

    QString key() const override { return QStringLiteral("PortBenchDeferredIcon"); }

    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

  private:
    const QIcon& Icon() {
        if (!icon_) {
            QStyleOption option;
            option.direction = direction_;
            icon_ = style_ ? style_->standardIcon(which_, &option) : QIcon();
        }
        return *icon_;
    }

    QPointer<QStyle> style_;
    QStyle::StandardPixmap which_;
    Qt::LayoutDirection direction_;
    std::optional<QIcon> icon_;
};

} // namespace

QIcon DeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which,
                           Qt::LayoutDirection direction) {
    return QIcon(new DeferredIconEngine(style, which, direction));
}
