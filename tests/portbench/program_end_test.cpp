// The end of the program: closing the main window ends the event loop, whatever
// other windows stand open and whatever timers run.
#include "send_panel_fixture.h"

#include <QTimer>
#include <QWindow>

namespace {

class ProgramEndTest : public LineTest {
  protected:
    // Runs the event loop until something ends it; a loop still running after
    // `limitMs` is ended here with 99.
    int RunLoop(int limitMs = 20000) {
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        limit.start(limitMs);
        return QCoreApplication::exec();
    }

    // A timed send of 41 every 50 ms on the open line, seen ticking.
    void StartTimedSend() {
        form->Edit2->setText("41");
        form->Edit3->setText("50");
        if (form->CheckBox2->isChecked()) form->CheckBox2->click(); // as the last run left it
        form->CheckBox2->click();
        ASSERT_TRUE(form->Timer2->isActive());
        ASSERT_TRUE(WaitFor([&] { return bench->Received().size() >= 2; }, 10000));
    }
};

TEST_F(ProgramEndTest, ClosingTheMainWindowEndsTheLoopWithEitherAboutBoxShown) {
    // The Chinese box has no owner; the English one stands over the main window.
    struct Case {
        const char* name;
        bool english;
        bool chinese;
    };
    for (const Case c : {Case{"Chinese box", false, true}, Case{"English box", true, false},
                         Case{"both boxes", true, true}}) {
        SCOPED_TRACE(c.name);
        OpenLine(portsim::Config{});
        StartTimedSend();
        if (c.chinese) {
            form->CurrentLanguage = "Chinese";
            form->ToolButton5Click();
        }
        if (c.english) {
            form->CurrentLanguage = "English";
            form->ToolButton5Click();
        }
        ASSERT_EQ(form->Form3->isVisible(), c.chinese);
        ASSERT_EQ(form->Form2->isVisible(), c.english);

        // The window system's close, as from the caption's close button.
        QTimer::singleShot(100, form.get(), [this] { form->windowHandle()->close(); });
        EXPECT_EQ(RunLoop(), 0);
        EXPECT_FALSE(form->isVisible());

        // The next case starts a new program.
        ClosePort();
        form.reset();
        bench->Stop();
        bench.reset();
    }
}

TEST_F(ProgramEndTest, NoOtherWindowEndsTheLoop) {
    Show();
    form->ToolButton5Click();
    form->Form3->show();
    QTimer::singleShot(100, form.get(), [this] { form->Form3->windowHandle()->close(); });
    EXPECT_EQ(RunLoop(1500), 99);
    EXPECT_FALSE(form->Form3->isVisible());
    EXPECT_TRUE(form->isVisible());
}

} // namespace
