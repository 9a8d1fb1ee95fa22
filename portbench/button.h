// A push button that runs a handler on the release of any mouse button, after
// its own release processing: the button has come up, and is drawn up, before
// the handler runs, also when the handler then blocks the window for a while.
#ifndef PORTBENCH_BUTTON_H
#define PORTBENCH_BUTTON_H

#include <QPushButton>
#include <functional>

class TButton : public QPushButton {
  public:
    explicit TButton(QWidget* parent) : QPushButton(parent) {}

    std::function<void()> OnMouseUp;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

#endif
