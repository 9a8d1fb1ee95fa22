// The application object: every error that escapes a handler is caught where
// events are dispatched and shown in the error box; the window stays open.
#ifndef PORTBENCH_APPLICATION_H
#define PORTBENCH_APPLICATION_H

#include <QApplication>

class PortBenchApplication : public QApplication {
  public:
    PortBenchApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    static void KeepNoToolkitSettings();
};

#endif
