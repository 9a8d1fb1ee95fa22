// Pictures of the windows as a person would see them, written beside the test
// program (screenshots/), in both languages, for a look before each release.
#include "form_fixture.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <set>

namespace {

class Screenshot : public FormTest {
  protected:
    QString Save(QWidget* window, const QString& name) {
        const QString folder = QCoreApplication::applicationDirPath() + "/screenshots";
        QDir().mkpath(folder);
        const QString path = folder + "/" + name + ".png";
        const QPixmap picture = window->grab();
        EXPECT_TRUE(picture.save(path)) << path.toStdString();
        return path;
    }

    // A picture with some variety in it: drawn, not blank.
    static size_t Colours(const QString& path) {
        const QImage image(path);
        std::set<QRgb> colours;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                colours.insert(image.pixel(x, y));
        return colours.size();
    }
};

TEST_F(Screenshot, MainWindowInBothLanguagesAndBothAboutBoxes) {
    TForm1& f = Show();
    f.Memo1->setPlainText(" 41 42 43 0D 0A\nAddress of the current LoadCell:1");
    const QString chinese = Save(&f, "main_chinese");
    const QImage picture(chinese);
    EXPECT_EQ(picture.size(), QSize(532, 365) * picture.devicePixelRatio());
    EXPECT_GT(Colours(chinese), 20u);

    f.ToolButton4Click();
    ASSERT_EQ(f.CurrentLanguage, "English");
    EXPECT_GT(Colours(Save(&f, "main_english")), 20u);

    ShowAboutBox(f.Form2);
    EXPECT_GT(Colours(Save(f.Form2, "about_english")), 10u);
    ShowAboutBox(f.Form3);
    EXPECT_GT(Colours(Save(f.Form3, "about_chinese")), 10u);
}

} // namespace
