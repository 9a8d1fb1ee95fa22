// The two About boxes: TForm2 in English, TForm3 in Chinese. Both exist for the
// whole run and are only shown and hidden.
#ifndef PORTBENCH_ABOUT_BOXES_H
#define PORTBENCH_ABOUT_BOXES_H

#include <QDialog>
#include <QLabel>

// Centred on the main window and kept above it.
class TForm2 : public QDialog {
  public:
    explicit TForm2(QWidget* mainWindow);
    void FormDblClick();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* mainWindow_;
};

// Centred on the screen; a window of its own, with no owner. It is deleted
// with the main window.
class TForm3 : public QDialog {
  public:
    explicit TForm3(QWidget* mainWindow);
    void FormDblClick();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

// Shows the box without blocking; a box already shown comes to the front.
void ShowAboutBox(QDialog* box);

#endif
