// The main window's layout: every control where the layout puts it, in its
// parent and tab order, and every caption inside its control in both languages.
#include "form_fixture.h"
#include "glyphs.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QStyle>
#include <QTextLayout>
#include <set>

namespace {

class Geometry : public FormTest {};

struct Placed {
    const char* name;
    QWidget* control;
    QWidget* parent;
    QRect rect; // width or height 0: not fixed by the layout
};

std::vector<Placed> Layout(TForm1& f) {
    return {
        {"CoolBar1", f.CoolBar1, &f, {0, 0, 532, 33}},
        {"ToolBar1", f.ToolBar1, f.CoolBar1, {9, 0, 515, 25}},
        {"Memo1", f.Memo1, &f, {0, 33, 532, 161}},
        {"GroupBox1", f.GroupBox1, &f, {0, 194, 532, 56}},
        {"Label1", f.Label1, f.GroupBox1, {8, 26, 0, 0}},
        {"ComboBox1", f.ComboBox1, f.GroupBox1, {48, 23, 73, 0}},
        {"Label2", f.Label2, f.GroupBox1, {128, 26, 0, 0}},
        {"Edit1", f.Edit1, f.GroupBox1, {232, 23, 89, 0}},
        {"Button1", f.Button1, f.GroupBox1, {336, 22, 73, 25}},
        {"CheckBox1", f.CheckBox1, f.GroupBox1, {432, 25, 89, 17}},
        {"BitBtn1", f.BitBtn1, f.GroupBox1, {336, 22, 73, 25}},
        {"GroupBox5", f.GroupBox5, &f, {0, 250, 532, 56}},
        {"Label4", f.Label4, f.GroupBox5, {8, 27, 0, 0}},
        {"RadioButton1", f.RadioButton1, f.GroupBox5, {36, 27, 45, 17}},
        {"RadioButton2", f.RadioButton2, f.GroupBox5, {79, 27, 45, 17}},
        {"Edit2", f.Edit2, f.GroupBox5, {128, 25, 266, 0}},
        {"Button5", f.Button5, f.GroupBox5, {405, 24, 97, 25}},
        {"CheckBox2", f.CheckBox2, f.GroupBox5, {128, 8, 73, 15}},
        {"Edit3", f.Edit3, f.GroupBox5, {200, 8, 49, 16}},
        {"Label5", f.Label5, f.GroupBox5, {253, 8, 0, 0}},
        {"GroupBox3", f.GroupBox3, &f, {0, 307, 206, 57}},
        {"Label3", f.Label3, f.GroupBox3, {8, 25, 0, 0}},
        {"ComboBox2", f.ComboBox2, f.GroupBox3, {56, 22, 59, 0}},
        {"Button3", f.Button3, f.GroupBox3, {118, 20, 81, 25}},
        {"ProgressBar1", f.ProgressBar1, f.GroupBox3, {8, 47, 193, 5}},
        {"GroupBox4", f.GroupBox4, &f, {209, 307, 161, 57}},
        {"Button2", f.Button2, f.GroupBox4, {33, 20, 97, 25}},
        {"GroupBox6", f.GroupBox6, &f, {373, 307, 157, 57}},
        {"Button4", f.Button4, f.GroupBox6, {33, 19, 97, 25}},
    };
}

TEST_F(Geometry, TheWindowIsFixedAndEveryControlIsInPlace) {
    TForm1& f = Show();
    EXPECT_EQ(f.size(), QSize(532, 365));
    EXPECT_EQ(f.minimumSize(), QSize(532, 365));
    EXPECT_EQ(f.maximumSize(), QSize(532, 365));
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f.windowIcon().isNull());

    for (const Placed& p : Layout(f)) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.control->parentWidget(), p.parent);
        EXPECT_EQ(p.control->pos(), p.rect.topLeft());
        if (p.rect.width() > 0) {
            EXPECT_EQ(p.control->width(), p.rect.width());
        }
        if (p.rect.height() > 0) {
            EXPECT_EQ(p.control->height(), p.rect.height());
        }
        EXPECT_TRUE(p.control->isVisible());
    }
    // Chinese at start: the two boxes the language moves.
    EXPECT_EQ(f.CheckBox3->geometry(), QRect(301, 8, 49, 15));
    EXPECT_EQ(f.CheckBox4->geometry(), QRect(351, 8, 41, 15));

    // BitBtn1 lies over Button1 and takes the mouse.
    EXPECT_EQ(f.GroupBox1->childAt(f.BitBtn1->geometry().center()), f.BitBtn1);
}

TEST_F(Geometry, ToolButtonsStand23PixelsApartWithTheirPictures) {
    TForm1& f = Show();
    ASSERT_EQ(f.ImageList1.size(), 8u);
    for (const QPixmap& image : f.ImageList1) {
        EXPECT_EQ(image.size(), QSize(16, 16));
        const QImage picture = image.toImage();
        std::set<QRgb> colours; // drawn: more than a blank or a blot
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                colours.insert(picture.pixel(x, y));
        EXPECT_GE(colours.size(), 3u);
    }
    QToolButton* buttons[] = {f.ToolButton1, f.ToolButton2, f.ToolButton3, f.ToolButton4,
                              f.ToolButton5};
    const int images[] = {3, 2, 4, 5, 6};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(buttons[i]->parentWidget(), f.ToolBar1);
        EXPECT_EQ(buttons[i]->x(), 23 * i);
        EXPECT_EQ(
            buttons[i]->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32),
            f.ImageList1[images[i]].toImage().convertToFormat(QImage::Format_ARGB32));
    }
    // The port button carries the unlit lamp.
    const QImage lamp = f.BitBtn1->icon().pixmap(15, 15).toImage();
    EXPECT_EQ(lamp.size(), QSize(15, 15));
    EXPECT_EQ(lamp.convertToFormat(QImage::Format_ARGB32),
              LampGlyph(false).pixmap(15, 15).toImage().convertToFormat(QImage::Format_ARGB32));
    // Drawn 5 pixels from the button's left edge, centred in its height.
    const QImage face = f.BitBtn1->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage unlit =
        LampGlyph(false).pixmap(15, 15).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(face.pixel(5 + 7, 5 + 7), unlit.pixel(7, 7));
    EXPECT_EQ(face.pixel(5 + 4, 5 + 10), unlit.pixel(4, 10));
    EXPECT_NE(LampGlyph(true).pixmap(15, 15).toImage().convertToFormat(QImage::Format_ARGB32),
              LampGlyph(false).pixmap(15, 15).toImage().convertToFormat(QImage::Format_ARGB32));
}

TEST_F(Geometry, ControlsHaveTheirDesignProperties) {
    TForm1& f = Show();
    EXPECT_EQ(f.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(f.Memo1->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(f.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(f.Memo1->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_TRUE(f.ComboBox1->isEditable());
    EXPECT_TRUE(f.ComboBox2->isEditable());
    EXPECT_EQ(f.ComboBox2->count(), 12);
    EXPECT_EQ(f.ComboBox2->itemText(11), "12");
    EXPECT_EQ(f.ComboBox2->currentText(), "1");
    EXPECT_EQ(f.ProgressBar1->minimum(), 0);
    EXPECT_EQ(f.ProgressBar1->maximum(), 12);
    EXPECT_EQ(f.Timer1->interval(), 170);
    EXPECT_EQ(f.Timer2->interval(), 1000);
    EXPECT_TRUE(f.CheckBox1->font().bold());
    EXPECT_EQ(f.OpenDialog()->windowTitle(), QString::fromUtf8("打开txt文件"));
    EXPECT_EQ(f.OpenDialog()->nameFilters(), QStringList{QString::fromUtf8("文本文档(*.txt)")});
    EXPECT_TRUE(f.OpenDialog()->isSizeGripEnabled());
}

// Without SimSun and Arial (as on this system) the display and the send box
// fall back to a fixed-pitch font: every hex pair is as wide as any other, so
// rows of them stay in columns; Chinese characters still come from a font
// that has them.
TEST_F(Geometry, TheDisplayAndTheSendBoxKeepHexPairsInColumns) {
    TForm1& f = Show();
    ASSERT_FALSE(QFontDatabase::families().contains("SimSun"));
    for (QWidget* box : {static_cast<QWidget*>(f.Memo1), static_cast<QWidget*>(f.Edit2)}) {
        SCOPED_TRACE(QFontInfo(box->font()).family().toStdString());
        EXPECT_TRUE(QFontInfo(box->font()).fixedPitch());
        const QFontMetricsF metrics(box->font());
        const qreal row = metrics.horizontalAdvance("11 11 11");
        for (const char* other : {"FF 88 DD", "0A 0D 4D", "WW WW WW"})
            EXPECT_EQ(metrics.horizontalAdvance(other), row) << other;
        QTextLayout layout(QString::fromUtf8("中文"), box->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        ASSERT_FALSE(runs.isEmpty());
        EXPECT_EQ(runs[0].rawFont().familyName(), "WenQuanYi Micro Hei");
        EXPECT_NE(runs[0].glyphIndexes().value(0), 0u); // a real glyph, not a blank box
    }
}

TEST_F(Geometry, TabOrderFollowsTheLayout) {
    TForm1& f = Show();
    const std::vector<QWidget*> order = {
        f.Memo1,     f.ComboBox1, f.Edit1,        f.Button1,      f.CheckBox1, f.BitBtn1,
        f.Edit2,     f.Button5,   f.RadioButton1, f.RadioButton2, f.CheckBox2, f.Edit3,
        f.CheckBox3, f.CheckBox4, f.ComboBox2,    f.Button3,      f.Button2,   f.Button4};
    // The focus chain, read from Memo1 on, with only these controls kept.
    std::vector<QWidget*> chain;
    QWidget* at = f.Memo1;
    do {
        if (std::find(order.begin(), order.end(), at) != order.end()) chain.push_back(at);
        at = at->nextInFocusChain();
    } while (at && at != f.Memo1 && chain.size() < order.size());
    EXPECT_EQ(chain, order);
}

// The width a caption needs inside its control, with the control's own parts.
int NeededWidth(QWidget* control, const QString& caption) {
    const QFontMetrics metrics(control->font());
    const int text = metrics.horizontalAdvance(caption);
    QStyle* style = control->style();
    if (qobject_cast<QCheckBox*>(control))
        return style->pixelMetric(QStyle::PM_IndicatorWidth) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + text;
    if (qobject_cast<QRadioButton*>(control))
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) + text;
    if (qobject_cast<QGroupBox*>(control))
        return 7 + text + 4 + 7; // inset, title padding, and room for the frame's corner
    return text + 8;             // a push button's bevel and padding
}

void ExpectCaptionsFit(TForm1& f, const char* language) {
    SCOPED_TRACE(language);
    for (QWidget* control : std::initializer_list<QWidget*>{
             f.GroupBox1, f.GroupBox5, f.GroupBox3, f.GroupBox4, f.GroupBox6, f.Button1, f.Button5,
             f.Button3, f.Button2, f.Button4, f.CheckBox2, f.CheckBox3, f.CheckBox4, f.RadioButton1,
             f.RadioButton2, f.CheckBox1}) {
        QString caption;
        if (auto* group = qobject_cast<QGroupBox*>(control))
            caption = group->title();
        else
            caption = static_cast<QAbstractButton*>(control)->text();
        EXPECT_LE(NeededWidth(control, caption), control->width())
            << caption.toStdString() << " in " << control->objectName().toStdString();
    }
    // The glyph button: margin, glyph, spacing, caption.
    const int bitBtn =
        5 + 15 + 5 + QFontMetrics(f.BitBtn1->font()).horizontalAdvance(f.BitBtn1->text());
    EXPECT_LE(bitBtn + 2, f.BitBtn1->width()) << f.BitBtn1->text().toStdString();
    // Labels end before the control they name.
    const std::pair<QLabel*, QWidget*> labels[] = {{f.Label1, f.ComboBox1},
                                                   {f.Label2, f.Edit1},
                                                   {f.Label4, f.RadioButton1},
                                                   {f.Label5, f.CheckBox3},
                                                   {f.Label3, f.ComboBox2}};
    for (const auto& [label, next] : labels) {
        const int end = label->x() + QFontMetrics(label->font()).horizontalAdvance(label->text());
        EXPECT_LE(end, next->x()) << label->text().toStdString();
        EXPECT_GE(label->width(), end - label->x()) << label->text().toStdString();
    }
}

TEST_F(Geometry, EveryCaptionFitsItsControlInBothLanguages) {
    TForm1& f = Show();
    ExpectCaptionsFit(f, "Chinese");
    f.ToolButton4Click();
    ExpectCaptionsFit(f, "English");
    // The port button's other captions and the display-form captions fit too.
    for (const char* caption : {"Close", "关闭"}) {
        f.BitBtn1->setText(QString::fromUtf8(caption));
        ExpectCaptionsFit(f, caption);
    }
    for (const char* caption : {"Hex/AscII", "AscII/Hex", "AscII/Hex "}) {
        f.CheckBox1->setText(caption);
        EXPECT_LE(NeededWidth(f.CheckBox1, caption), f.CheckBox1->width()) << caption;
    }
    EXPECT_LE(QFontMetrics(f.Edit1->font()).horizontalAdvance("9600,n,8,1") + 8, f.Edit1->width());
}

TEST_F(Geometry, ChineseCaptionsHaveAFontThatDrawsThem) {
    TForm1& f = Show();
    // Some family of each control's font carries Chinese glyphs.
    auto drawsChinese = [](const QFont& font) {
        for (const QString& family : font.families())
            if (QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
                return true;
        return false;
    };
    for (QWidget* control : std::initializer_list<QWidget*>{
             f.GroupBox1, f.Label1, f.Label2, f.BitBtn1, f.Label4, f.Button5, f.CheckBox2, f.Label5,
             f.GroupBox3, f.Label3, f.Button3, f.Button2, f.Button4, f.Memo1})
        EXPECT_TRUE(drawsChinese(control->font())) << control->objectName().toStdString();
    const QFontMetrics metrics(f.Label2->font());
    EXPECT_TRUE(QFontMetrics(QFont("WenQuanYi Micro Hei")).inFont(QChar(0x4E32))) // 串
        << "the set-up installs fonts-wqy-microhei";
    EXPECT_GT(metrics.horizontalAdvance(f.Label2->text()), 6 * 8);
}

} // namespace
