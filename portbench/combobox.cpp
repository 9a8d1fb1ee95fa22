#include "combobox.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <utility>

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, &TComboBox::Activated);
}

void TComboBox::showPopup() {
    listShown_ = true;
    indexWhenShown_ = currentIndex();
    textWhenShown_ = currentText();
    QComboBox::showPopup();
}

// Reached by a pick in the dropped-down list and by the arrow keys, which move
// only to another entry.
void TComboBox::Activated(int index) {
    const bool fromList = std::exchange(listShown_, false);
    if (fromList && index == indexWhenShown_ && textWhenShown_ == itemText(index)) return;
    if (OnClick) OnClick();
}

void TComboBox::keyPressEvent(QKeyEvent* event) {
    // Return would select the entry that matches the typed text.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TComboBox::wheelEvent(QWheelEvent* event) {
    event->ignore(); // the box's entry stays as it is
}
