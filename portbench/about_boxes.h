// The two About boxes: TForm2 in English, TForm3 in Chinese. Both exist for the
// whole run and are only shown and hidden.
#ifndef PORTBENCH_ABOUT_BOXES_H
#define PORTBENCH_ABOUT_BOXES_H

#include <QDialog>
#include <QLabel>

// What both boxes share: fixed 353 x 138, the product picture, four lines of
// text, and a double click that hides the box.
class TAboutBox : public QDialog {
  public:
    void FormDblClick();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;

  protected:
    TAboutBox(QWidget* parent, const char* title, const char* const lines[4]);
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    bool labelsSized_ = false;
};

// Centred on the main window and kept above it.
class TForm2 : public TAboutBox {
  public:
    explicit TForm2(QWidget* mainWindow);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* mainWindow_;
};

// Centred on the screen; a window of its own, with no owner. It is deleted
// with the main window.
class TForm3 : public TAboutBox {
  public:
    explicit TForm3(QWidget* mainWindow);

  protected:
    void showEvent(QShowEvent* event) override;
};

// Shows the box without blocking; a box already shown comes to the front.
void ShowAboutBox(QDialog* box);

#endif
