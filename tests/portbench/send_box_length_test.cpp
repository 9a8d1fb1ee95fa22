// Edit2 has no length limit of its own: long texts stay whole, also through a
// conversion that makes them three times longer.
#include "form_fixture.h"

#include <QTest>

namespace {

class SendBoxLengthTest : public FormTest {};

TEST_F(SendBoxLengthTest, ALongTextIsKeptWholeThroughTheConversionToHex) {
    TForm1& f = Show();
    QTest::mouseClick(f.RadioButton2, Qt::LeftButton); // plain text
    ASSERT_TRUE(f.RadioButton2->isChecked());
    const QString plain = QString("AB").repeated(6000);
    f.Edit2->setText(plain);
    ASSERT_EQ(f.Edit2->text(), plain);

    QTest::mouseClick(f.RadioButton1, Qt::LeftButton); // 36,000 characters of hex
    ASSERT_TRUE(f.RadioButton1->isChecked());
    EXPECT_EQ(f.Edit2->text().size(), 36000);
    EXPECT_EQ(f.Edit2->text(), QString(" 41 42").repeated(6000));
}

} // namespace
