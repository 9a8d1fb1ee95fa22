// The program's style hands out the tool bar's extension picture late; drawn,
// it must be the base style's own, in either direction.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

QImage Painted(const QIcon& icon, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, image.rect());
    return image;
}

} // namespace

TEST(Skin, ToolBarExtensionPicturesAreTheBaseStyles) {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
    for (const auto which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton})
        for (const auto direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            SCOPED_TRACE(testing::Message() << "picture " << which << ", direction " << direction);
            QStyleOption option;
            option.direction = direction;
            const QIcon ours = QApplication::style()->standardIcon(which, &option);
            const QIcon theirs = fusion->standardIcon(which, &option);
            ASSERT_FALSE(theirs.isNull());
            EXPECT_FALSE(ours.isNull());
            for (const QSize size : {QSize(8, 16), QSize(16, 16), QSize(32, 32)}) {
                EXPECT_EQ(ours.actualSize(size), theirs.actualSize(size));
                EXPECT_EQ(ours.pixmap(size).toImage(), theirs.pixmap(size).toImage());
                EXPECT_EQ(ours.pixmap(size, QIcon::Disabled).toImage(),
                          theirs.pixmap(size, QIcon::Disabled).toImage());
                EXPECT_EQ(Painted(ours, size), Painted(theirs, size));
            }
        }
}

TEST(Skin, NarrowToolBarShowsItsExtensionPicture) {
    QToolBar bar;
    for (int i = 0; i < 8; ++i)
        bar.addAction(QString("Action %1").arg(i));
    bar.resize(60, 30);
    bar.show();
    QApplication::processEvents();
    auto* extension = bar.findChild<QToolButton*>("qt_toolbar_ext_button");
    ASSERT_NE(extension, nullptr);
    EXPECT_TRUE(extension->isVisible());
    const QImage picture = extension->icon().pixmap(extension->iconSize()).toImage();
    ASSERT_FALSE(picture.isNull());
    bool drawn = false;
    for (int y = 0; y < picture.height() && !drawn; ++y)
        for (int x = 0; x < picture.width() && !drawn; ++x)
            drawn = qAlpha(picture.pixel(x, y)) != 0;
    EXPECT_TRUE(drawn);
}
