// A style's standard icon that is asked of the style only when it is first
// drawn. The tool bar's extension button takes its picture at once, and the
// base style reads it as an image file, which makes the toolkit open every
// image format plugin while the window is made; the button itself shows only
// when the tool bar is too narrow for its buttons.
#ifndef PORTBENCH_DEFERRED_ICON_H
#define PORTBENCH_DEFERRED_ICON_H

#include <QIcon>
#include <QStyle>

QIcon DeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which,
                           Qt::LayoutDirection direction);

#endif
