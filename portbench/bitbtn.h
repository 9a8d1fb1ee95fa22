// A push button with a glyph at a fixed place: the glyph a margin from the left
// edge and the caption a spacing after it, as on the port button.
#ifndef PORTBENCH_BITBTN_H
#define PORTBENCH_BITBTN_H

#include <QPushButton>

class TBitBtn : public QPushButton {
  public:
    explicit TBitBtn(QWidget* parent) : QPushButton(parent) {}

    int Margin = 5;
    int Spacing = 5;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

#endif
