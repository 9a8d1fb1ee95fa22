#include "about_boxes.h"

#include <QMouseEvent>

TForm2::TForm2(QWidget* mainWindow) : QDialog(mainWindow) {}
void TForm2::FormDblClick() { hide(); }
void TForm2::mouseDoubleClickEvent(QMouseEvent*) { FormDblClick(); }
TForm3::TForm3(QWidget*) : QDialog(nullptr) {}
void TForm3::FormDblClick() { hide(); }
void TForm3::mouseDoubleClickEvent(QMouseEvent*) { FormDblClick(); }
