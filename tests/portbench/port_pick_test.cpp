// Picking a port in ComboBox1's list opens it at once; typing a name, Return in
// the edit line and the mouse wheel open nothing. The ports here do not exist,
// so every open the panel tries ends in its "could not open" message: the
// messages count the opens.
#include "form_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWheelEvent>

namespace {

class PortPickTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        Show();
        const QDir folder(settingsDir.path());
        ports = {folder.filePath("portA"), folder.filePath("portB"), folder.filePath("portC")};
        box()->clear();
        box()->addItems(ports);
        box()->setCurrentIndex(0);
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        box()->setFocus(Qt::MouseFocusReason);
        boxes.clear();
    }

    QComboBox* box() const { return form->ComboBox1; }
    size_t Opens() const { return boxes.size(); }

    // Drops the list down, moves to entry `index` in it and takes it, all from
    // the keyboard (offscreen, the window system cannot click into the list).
    void PickFromList(int index) {
        QTest::keyClick(box(), Qt::Key_F4);
        QAbstractItemView* list = box()->view();
        ASSERT_TRUE(WaitFor([&] { return list->isVisible(); }));
        for (int guard = 0; list->currentIndex().row() != index && guard < 10; ++guard)
            QTest::keyClick(list, list->currentIndex().row() < index ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(list->currentIndex().row(), index);
        QTest::keyClick(list, Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !list->isVisible(); }));
    }

    void Wheel(int steps) {
        const QPointF at = QRectF(box()->rect()).center();
        QWheelEvent wheel(at, box()->mapToGlobal(at), QPoint(), QPoint(0, -120 * steps),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(box(), &wheel);
    }

    QStringList ports;
};

TEST_F(PortPickTest, APickOfAnotherEntryOpensIt) {
    PickFromList(1);
    EXPECT_EQ(box()->currentText(), ports[1]);
    EXPECT_EQ(Opens(), 1u);

    QTest::keyClick(box(), Qt::Key_Down); // the arrow keys pick too
    EXPECT_EQ(box()->currentText(), ports[2]);
    EXPECT_EQ(Opens(), 2u);
    QTest::keyClick(box(), Qt::Key_Down); // no entry below the last: nothing picked
    EXPECT_EQ(Opens(), 2u);
    QTest::keyClick(box(), Qt::Key_Up);
    EXPECT_EQ(box()->currentText(), ports[1]);
    EXPECT_EQ(Opens(), 3u);
}

TEST_F(PortPickTest, APickOfTheEntryAlreadySelectedChangesNothing) {
    PickFromList(0);
    EXPECT_EQ(box()->currentText(), ports[0]);
    EXPECT_EQ(Opens(), 0u);

    // Over a typed name the same entry is a change of the box's selection.
    box()->lineEdit()->selectAll();
    QTest::keyClicks(box(), "COM7");
    ASSERT_EQ(box()->currentText(), "COM7");
    PickFromList(0);
    EXPECT_EQ(box()->currentText(), ports[0]);
    EXPECT_EQ(Opens(), 1u);
}

TEST_F(PortPickTest, TypingANameAndReturnOpenNothing) {
    box()->lineEdit()->selectAll();
    QTest::keyClicks(box(), ports[2]); // the name of an entry of the list
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(box()->currentText(), ports[2]);
    box()->lineEdit()->selectAll();
    QTest::keyClicks(box(), "COM9");
    QTest::keyClick(box(), Qt::Key_Enter);
    EXPECT_EQ(box()->currentText(), "COM9");
    Pump(50);
    EXPECT_EQ(Opens(), 0u);
}

TEST_F(PortPickTest, TheWheelOverTheBoxPicksNothing) {
    Wheel(1);
    Wheel(1);
    Wheel(-1);
    Pump(50);
    EXPECT_EQ(box()->currentText(), ports[0]);
    EXPECT_EQ(Opens(), 0u);
}

} // namespace
