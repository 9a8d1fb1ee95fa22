// The two About boxes: TForm2 in English, TForm3 in Chinese.
#ifndef PORTBENCH_ABOUT_BOXES_H
#define PORTBENCH_ABOUT_BOXES_H

#include <QDialog>

class TForm2 : public QDialog {
public:
    explicit TForm2(QWidget* mainWindow);
    void FormDblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class TForm3 : public QDialog {
public:
    explicit TForm3(QWidget* mainWindow);
    void FormDblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

#endif
