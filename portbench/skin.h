// The program's one look: a style and palette set on the application, so that
// every form, dialog and message box wears it. It changes nothing but the look.
#ifndef PORTBENCH_SKIN_H
#define PORTBENCH_SKIN_H

class QApplication;

void ApplySkin(QApplication& app);

#endif
