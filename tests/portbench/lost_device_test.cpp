// A device that goes away under the open port (an adapter pulled, the far end
// of a pseudo-terminal closed): the window goes to its closed state as Close
// would, says so once, and opens again once the device is back.
#include "form_fixture.h"
#include "language.h"
#include "portline.h"
#include "pty_device.h"

#include <QFile>
#include <QTest>
#include <memory>

namespace {

class LostDeviceTest : public FormTest {
  protected:
    void TearDown() override {
        if (form && form->PortOpen) ClosePort();
        FormTest::TearDown();
    }

    // The port name the window is given: a link to the device of the moment,
    // as a udev rule or portsim --link gives one.
    QString Link() const { return settingsDir.filePath("cell"); }
    void PointLinkAt(const ptytest::PtyDevice& device) {
        QFile::remove(Link());
        ASSERT_TRUE(QFile::link(QString::fromStdString(device.Path()), Link()));
    }

    void OpenFromButton() {
        form->ComboBox1->setEditText(Link());
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
        ASSERT_TRUE(form->PortOpen);
    }
};

TEST_F(LostDeviceTest, AVanishedDeviceClosesThePortOnceAndOpenWorksWhenItIsBack) {
    struct Case {
        const char* language;
        const char* text;
        const char* caption;
        const char* openCaption;
    };
    const Case cases[] = {
        {"English", "The serial port device was lost (unplugged or gone), the port is closed",
         "Prompting", "Open"},
        {"Chinese", "串口设备已丢失(已拔出或不存在), 串口已关闭", "提示", "打开"},
    };
    Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        form->CurrentLanguage = c.language;
        boxes.clear();
        auto device = std::make_unique<ptytest::PtyDevice>();
        PointLinkAt(*device);
        OpenFromButton();
        Pump(600); // a device that stays is not taken for lost
        ASSERT_TRUE(form->PortOpen);
        ASSERT_TRUE(boxes.empty());

        device->Hangup();
        ASSERT_TRUE(WaitFor([&] { return !form->PortOpen; }, 10000));
        EXPECT_FALSE(form->Timer1->isActive());
        EXPECT_EQ(form->BitBtn1->text(), QString::fromUtf8(c.openCaption));
        Pump(1200); // said once
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(boxes[0].caption, QString::fromUtf8(c.caption));

        // The adapter plugged in again: the same name, a new device.
        device = std::make_unique<ptytest::PtyDevice>();
        PointLinkAt(*device);
        OpenFromButton();
        EXPECT_EQ(form->BitBtn1->text(), TextOf(TextId::CloseCaption, c.language));
        // What arrives before the library's reader runs is dropped: sent until it shows.
        EXPECT_TRUE(WaitFor(
            [&] {
                device->Send("A");
                Pump(100);
                return form->Memo1->toPlainText().contains("41");
            },
            10000));
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
        ASSERT_FALSE(form->PortOpen);
        form->Memo1->clear();
    }
}

// A load-cell command stops the poll for good; the loss is still noticed.
TEST_F(LostDeviceTest, ALossWhileThePollIsStoppedIsNoticedToo) {
    Show();
    form->CurrentLanguage = "English";
    auto device = std::make_unique<ptytest::PtyDevice>();
    PointLinkAt(*device);
    OpenFromButton();
    form->Timer1->stop();
    device->Hangup();
    ASSERT_TRUE(WaitFor([&] { return !form->PortOpen; }, 10000));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(form->BitBtn1->text(), "Open");
}

} // namespace
