// An editable drop-down list whose OnClick runs when the user changes the
// selection in its list: with the mouse in the dropped-down list, or with the
// arrow keys. Picking the entry that is already selected and shown changes
// nothing and runs nothing. Typing into the edit line, Return there and the
// mouse wheel over the closed box select nothing and run nothing.
#ifndef PORTBENCH_COMBOBOX_H
#define PORTBENCH_COMBOBOX_H

#include <QComboBox>
#include <functional>

class TComboBox : public QComboBox {
  public:
    explicit TComboBox(QWidget* parent);

    std::function<void()> OnClick;

    void showPopup() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void Activated(int index);

    // The selection when the list was dropped down, to tell a pick of it apart.
    bool listShown_ = false;
    int indexWhenShown_ = -1;
    QString textWhenShown_;
};

#endif
