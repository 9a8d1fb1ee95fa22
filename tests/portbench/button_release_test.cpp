// The send and load-cell buttons act on the mouse release, after the button's
// own release: while the handler runs (a message box, a presence scan) the
// button is up and drawn up.
#include "send_panel_fixture.h"

#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

class ButtonReleaseTest : public LineTest {
  protected:
    // What the window shows of `button` at this moment.
    QImage OnScreen(QWidget* button) const {
        const QPoint at = button->mapTo(form.get(), QPoint(0, 0));
        return form->screen()
            ->grabWindow(form->winId(), at.x(), at.y(), button->width(), button->height())
            .toImage();
    }

    // Puts the pointer and the focus on `button` and returns its look when up.
    QImage Prepare(QPushButton* button) {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        button->setFocus(Qt::MouseFocusReason);
        QTest::mouseMove(button, button->rect().center());
        Pump(100);
        return OnScreen(button);
    }

    // Presses `button`, lets the window draw it pressed, then releases it.
    void PressAndRelease(QPushButton* button, const QImage& up) {
        QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
        Pump(100);
        ASSERT_TRUE(button->isDown());
        ASSERT_NE(OnScreen(button), up) << "the pressed button looks as the released one";
        QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
    }

    // Records, at each message box, whether the button was up and drawn up.
    struct During {
        int seen = 0;
        int down = 0;
        int drawnPressed = 0;
    };
    void Watch(QPushButton* button, const QImage& up, During& during) {
        SetMessageBoxHook([this, button, up, &during](const QString& text, const QString& caption) {
            ++during.seen;
            if (button->isDown()) ++during.down;
            if (OnScreen(button) != up) ++during.drawnPressed;
            boxes.push_back({text, caption});
        });
    }
};

TEST_F(ButtonReleaseTest, EachButtonIsUpUnderTheMessageBoxOfItsHandler) {
    Show(); // the port is closed: each handler shows its refusal
    for (QPushButton* button :
         {static_cast<QPushButton*>(form->Button5), static_cast<QPushButton*>(form->Button2),
          static_cast<QPushButton*>(form->Button3), static_cast<QPushButton*>(form->Button4)}) {
        SCOPED_TRACE(button->text().toStdString());
        const QImage up = Prepare(button);
        During during;
        Watch(button, up, during);
        PressAndRelease(button, up);
        EXPECT_EQ(during.seen, 1);
        EXPECT_EQ(during.down, 0);
        EXPECT_EQ(during.drawnPressed, 0);
        EXPECT_FALSE(button->isDown());
    }
}

TEST_F(ButtonReleaseTest, Button3IsUpThroughItsScan) {
    OpenLine(portsim::Config{}); // no cell answers: the scan runs through all twelve
    const QImage up = Prepare(form->Button3);
    int checks = 0;
    int down = 0;
    int drawnPressed = 0;
    // Runs between the probes of the scan, where the window takes its events.
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        // In the scan, after its first probe (the bar stands visible at 0 before).
        if (!form->ProgressBar1->isVisible() || form->ProgressBar1->value() < 1) return;
        ++checks;
        if (form->Button3->isDown()) ++down;
        if (OnScreen(form->Button3) != up) ++drawnPressed;
    });
    probe.start(20);
    PressAndRelease(form->Button3, up);
    probe.stop();
    EXPECT_GE(checks, 1);
    EXPECT_EQ(down, 0);
    EXPECT_EQ(drawnPressed, 0);
    EXPECT_FALSE(form->ProgressBar1->isVisible());
}

} // namespace
