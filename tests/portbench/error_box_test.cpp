// The error seam: whatever escapes a handler is shown in the error box where
// the event was delivered, and the window goes on working.
#include "form_fixture.h"
#include "window_input.h"

#include <QFile>
#include <QMetaObject>

namespace {

class ErrorBox : public FormTest {
  protected:
    // A settings folder that cannot exist: every write is refused, for root too.
    QString BlockSettings() {
        QFile blocker(settingsDir.filePath("blocker"));
        EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
        const QString folder = settingsDir.filePath("blocker/folder");
        SetSettingsFolderForTesting(folder);
        return folder + "/PortBench.ini";
    }
};

TEST_F(ErrorBox, QueuedHandlersThatThrowAreShownAndTheLoopGoesOn) {
    TForm1& f = Show();
    bool ranAfter = false;
    QMetaObject::invokeMethod(
        &f, [] { throw AppError("'abc' is not a valid integer value"); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &f, [] { throw std::runtime_error("plain failure"); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &f, [] { throw 42; }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &f, [&] { ranAfter = true; }, Qt::QueuedConnection);
    ASSERT_TRUE(WaitFor([&] { return ranAfter; }));
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0], "'abc' is not a valid integer value");
    EXPECT_EQ(errors[1], "plain failure");
    EXPECT_EQ(errors[2], ""); // not an error object: an empty message
    EXPECT_TRUE(f.isVisible());
}

TEST_F(ErrorBox, ARefusedWriteFromARealClickIsReportedEachTime) {
    TForm1& f = Show();
    const QString path = BlockSettings();
    Click(f.ToolButton4);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Unable to write to " + path);
    // The captions had changed before the write was refused.
    EXPECT_EQ(f.CurrentLanguage, "English");
    EXPECT_EQ(f.GroupBox1->title(), "Communicate setup");

    // The window still answers: the next click switches back, and fails again.
    Click(f.ToolButton4);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1], "Unable to write to " + path);
    EXPECT_EQ(f.CurrentLanguage, "Chinese");
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.ToolButton4->isDown());
}

TEST_F(ErrorBox, TimerHandlersThatThrowDoNotStopTheTimer) {
    TForm1& f = Show();
    QTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, &f, [&] {
        ++ticks;
        throw AppError("tick failed");
    });
    timer.start(5);
    ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
    timer.stop();
    EXPECT_EQ(errors.size(), static_cast<size_t>(ticks));
    EXPECT_EQ(errors.front(), "tick failed");
}

} // namespace
