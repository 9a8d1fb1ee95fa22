// The band bar along the top of the window: a flat band with a grip at its left,
// holding the tool bar.
#ifndef PORTBENCH_COOLBAR_H
#define PORTBENCH_COOLBAR_H

#include <QWidget>

class TCoolBar : public QWidget {
  public:
    explicit TCoolBar(QWidget* parent) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
};

#endif
