#include "about_boxes.h"

#include "glyphs.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace {

QFont AboutFont() {
    QFont font(QStringList{"SimSun", "WenQuanYi Micro Hei"});
    font.setPixelSize(12);
    return font;
}

void CentreOn(QWidget* box, const QRect& area) {
    box->move(area.center() - QPoint(box->width() / 2, box->height() / 2));
}

const Qt::WindowFlags BoxFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

} // namespace

TAboutBox::TAboutBox(QWidget* parent, const char* title, const char* const lines[4])
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(title));
    setFixedSize(353, 138);
    setSizeGripEnabled(false);
    Image1 = new QLabel(this);
    Image1->setGeometry(40, 24, 41, 41);
    Image1->setPixmap(ProgramIcon().pixmap(41, 41));
    QLabel** labels[4] = {&Label1, &Label2, &Label3, &Label4};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromUtf8(lines[i]), this);
        label->setFont(AboutFont());
        label->move(103, 24 + 24 * i);
        *labels[i] = label;
    }
}

// The labels take the size of their texts when the box is first shown: sizing
// them loads the box's font, which start-up need not wait for while the box
// stays hidden.
void TAboutBox::showEvent(QShowEvent* event) {
    if (!labelsSized_) {
        labelsSized_ = true;
        for (QLabel* label : {Label1, Label2, Label3, Label4})
            label->adjustSize();
    }
    QDialog::showEvent(event);
}

void TAboutBox::FormDblClick() {
    hide();
}

void TAboutBox::mouseDoubleClickEvent(QMouseEvent*) {
    FormDblClick();
}

namespace {
const char* const EnglishLines[4] = {
    "QUILL PORTBENCH VER3.62 PRO TOOLS",
    "QUILL SENSOR CO.,LTD. R&D DEPT.",
    "SERVICE & SUPPORT  QQ:800012345",
    "VERSIONS OF TIME:2009.3.14 10:29",
};
const char* const ChineseLines[4] = {
    "QUILL PORTBENCH VER3.62 专用调试工具",
    "奎尔传感器有限公司 仪表事业部",
    "技术服务与支持  QQ:800012345",
    "版本修订时间:2009.3.14 10:29",
};
} // namespace

TForm2::TForm2(QWidget* mainWindow)
    : TAboutBox(mainWindow, "About", EnglishLines), mainWindow_(mainWindow) {
    setObjectName("Form2");
    setWindowFlags(BoxFlags | Qt::WindowStaysOnTopHint);
}

void TForm2::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && mainWindow_) CentreOn(this, mainWindow_->geometry());
    TAboutBox::showEvent(event);
}

TForm3::TForm3(QWidget* mainWindow) : TAboutBox(nullptr, "关于", ChineseLines) {
    setObjectName("Form3");
    setWindowFlags(BoxFlags);
    // No parent, so that the window system places it on its own; it goes with
    // the main window all the same.
    if (mainWindow)
        QObject::connect(mainWindow, &QObject::destroyed, this, [this] { delete this; });
}

void TForm3::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        if (QScreen* screen = QGuiApplication::primaryScreen())
            CentreOn(this, screen->availableGeometry());
    TAboutBox::showEvent(event);
}

void ShowAboutBox(QDialog* box) {
    if (!box->isVisible()) box->show();
    box->raise();
    box->activateWindow();
}
