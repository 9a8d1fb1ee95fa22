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

// The common face of both boxes: fixed 353 x 138, the product picture and four
// lines of text.
void Build(QDialog* box, const char* title, const char* lines[4], QLabel*& image,
           QLabel* labels[4]) {
    box->setWindowTitle(QString::fromUtf8(title));
    box->setFixedSize(353, 138);
    box->setSizeGripEnabled(false);
    image = new QLabel(box);
    image->setGeometry(40, 24, 41, 41);
    image->setPixmap(ProgramIcon().pixmap(41, 41));
    for (int i = 0; i < 4; ++i) {
        labels[i] = new QLabel(QString::fromUtf8(lines[i]), box);
        labels[i]->setFont(AboutFont());
        labels[i]->move(103, 24 + 24 * i);
        labels[i]->adjustSize();
    }
}

void CentreOn(QWidget* box, const QRect& area) {
    box->move(area.center() - QPoint(box->width() / 2, box->height() / 2));
}

const Qt::WindowFlags BoxFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

} // namespace

TForm2::TForm2(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow) {
    setObjectName("Form2");
    setWindowFlags(BoxFlags | Qt::WindowStaysOnTopHint);
    const char* lines[4] = {
        "QUILL PORTBENCH VER3.62 PRO TOOLS",
        "QUILL SENSOR CO.,LTD. R&D DEPT.",
        "SERVICE & SUPPORT  QQ:800012345",
        "VERSIONS OF TIME:2009.3.14 10:29",
    };
    QLabel* labels[4];
    Build(this, "About", lines, Image1, labels);
    Label1 = labels[0];
    Label2 = labels[1];
    Label3 = labels[2];
    Label4 = labels[3];
}

void TForm2::FormDblClick() {
    hide();
}

void TForm2::mouseDoubleClickEvent(QMouseEvent*) {
    FormDblClick();
}

void TForm2::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && mainWindow_) CentreOn(this, mainWindow_->geometry());
    QDialog::showEvent(event);
}

TForm3::TForm3(QWidget* mainWindow) : QDialog(nullptr) {
    setObjectName("Form3");
    setWindowFlags(BoxFlags);
    const char* lines[4] = {
        "QUILL PORTBENCH VER3.62 专用调试工具",
        "奎尔传感器有限公司 仪表事业部",
        "技术服务与支持  QQ:800012345",
        "版本修订时间:2009.3.14 10:29",
    };
    QLabel* labels[4];
    Build(this, "关于", lines, Image1, labels);
    Label1 = labels[0];
    Label2 = labels[1];
    Label3 = labels[2];
    Label4 = labels[3];
    // No parent, so that the window system places it on its own; it goes with
    // the main window all the same.
    if (mainWindow)
        QObject::connect(mainWindow, &QObject::destroyed, this, [this] { delete this; });
}

void TForm3::FormDblClick() {
    hide();
}

void TForm3::mouseDoubleClickEvent(QMouseEvent*) {
    FormDblClick();
}

void TForm3::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        if (QScreen* screen = QGuiApplication::primaryScreen())
            CentreOn(this, screen->availableGeometry());
    QDialog::showEvent(event);
}

void ShowAboutBox(QDialog* box) {
    if (!box->isVisible()) box->show();
    box->raise();
    box->activateWindow();
}
