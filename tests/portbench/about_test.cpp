// The About boxes: which one shows, where, and how they go away.
#include "form_fixture.h"
#include "window_input.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

class About : public FormTest {};

TEST_F(About, TheBoxFollowsTheLanguageAndABoxLeftOpenStaysOpen) {
    TForm1& f = Show();
    f.ToolButton5Click();
    EXPECT_TRUE(f.Form3->isVisible());
    EXPECT_FALSE(f.Form2->isVisible());

    f.ToolButton4Click(); // English
    EXPECT_TRUE(f.Form3->isVisible());
    f.ToolButton5Click();
    EXPECT_TRUE(f.Form2->isVisible());
    EXPECT_TRUE(f.Form3->isVisible());
    EXPECT_FALSE(f.Form2->isModal());
    EXPECT_TRUE(f.isEnabled());
}

TEST_F(About, AnyOtherLanguageShowsTheEnglishBox) {
    TForm1& f = Show();
    f.CurrentLanguage = "english";
    f.ToolButton5Click();
    EXPECT_TRUE(f.Form2->isVisible());
    EXPECT_FALSE(f.Form3->isVisible());
}

TEST_F(About, ShowingAVisibleBoxAgainKeepsItAndItsPlace) {
    TForm1& f = Show();
    f.ToolButton5Click();
    TForm3* box = f.Form3;
    box->move(box->pos() + QPoint(30, 20));
    const QPoint moved = box->pos();
    f.ToolButton5Click();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->pos(), moved);
    EXPECT_EQ(f.Form3, box);
}

TEST_F(About, DoubleClickOrCloseHidesTheBoxWithoutDestroyingIt) {
    TForm1& f = Show();
    f.ToolButton5Click();
    DoubleClick(f.Form3);
    EXPECT_FALSE(f.Form3->isVisible());
    f.ToolButton5Click();
    EXPECT_TRUE(f.Form3->isVisible());
    f.Form3->close();
    EXPECT_FALSE(f.Form3->isVisible());

    f.ToolButton4Click();
    f.ToolButton5Click();
    DoubleClick(f.Form2->Label2); // on a caption, too
    EXPECT_FALSE(f.Form2->isVisible());
    f.ToolButton5Click();
    f.Form2->close();
    EXPECT_FALSE(f.Form2->isVisible());
    f.ToolButton5Click();
    EXPECT_TRUE(f.Form2->isVisible());
}

TEST_F(About, TheBoxesAreLaidOutAndPlacedAsDesigned) {
    TForm1& f = Show();
    for (QDialog* box : {static_cast<QDialog*>(f.Form2), static_cast<QDialog*>(f.Form3)}) {
        EXPECT_EQ(box->size(), QSize(353, 138));
        EXPECT_EQ(box->minimumSize(), box->maximumSize()); // no resizing
        EXPECT_FALSE(box->windowFlags() & Qt::WindowMaximizeButtonHint);
    }
    EXPECT_EQ(f.Form2->windowTitle(), "About");
    EXPECT_EQ(f.Form3->windowTitle(), QString::fromUtf8("关于"));
    EXPECT_TRUE(f.Form2->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(f.Form3->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(f.Form2->parentWidget(), &f);
    EXPECT_EQ(f.Form3->parentWidget(), nullptr);

    EXPECT_EQ(f.Form2->Image1->geometry(), QRect(40, 24, 41, 41));
    EXPECT_FALSE(f.Form2->Image1->pixmap().isNull());
    const QStringList english{f.Form2->Label1->text(), f.Form2->Label2->text(),
                              f.Form2->Label3->text(), f.Form2->Label4->text()};
    EXPECT_EQ(english[0], "QUILL PORTBENCH VER3.62 PRO TOOLS");
    EXPECT_EQ(english[3], "VERSIONS OF TIME:2009.3.14 10:29");
    EXPECT_TRUE(english[2].contains("800012345"));
    EXPECT_EQ(f.Form3->Label1->text(), QString::fromUtf8("QUILL PORTBENCH VER3.62 专用调试工具"));
    EXPECT_EQ(f.Form3->Label4->text(), QString::fromUtf8("版本修订时间:2009.3.14 10:29"));
    int y = 24;
    for (QLabel* label : {f.Form3->Label1, f.Form3->Label2, f.Form3->Label3, f.Form3->Label4}) {
        EXPECT_EQ(label->pos(), QPoint(103, y));
        EXPECT_LE(label->geometry().right(), 353) << label->text().toStdString();
        y += 24;
    }

    // The English box over the main window's middle, the Chinese one on the screen's.
    f.move(f.pos() + QPoint(-40, 25));
    f.ToolButton4Click();
    f.ToolButton5Click();
    EXPECT_LE((f.Form2->geometry().center() - f.geometry().center()).manhattanLength(),
              4); // rounding of odd sizes
    f.ToolButton4Click();
    f.ToolButton5Click();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((f.Form3->geometry().center() - screen.center()).manhattanLength(),
              4); // rounding of odd sizes
}

TEST_F(About, TheChineseBoxGoesWithTheMainWindow) {
    TForm1& f = Show();
    QPointer<TForm3> box = f.Form3;
    form.reset();
    EXPECT_TRUE(box.isNull());
}

} // namespace
