// What every window benchmark sets up: Qt's offscreen platform, a throw-away
// settings folder, message boxes that answer at once, and the real main window shown,
// made as the window tests make it (window_under_test.h).
#ifndef PORTBENCH_BENCH_WINDOW_H
#define PORTBENCH_BENCH_WINDOW_H

#include "application.h"
#include "messages.h"
#include "settings.h"
#include "window_under_test.h"

#include <QTemporaryDir>
#include <memory>
#include <utility>

class BenchWindow {
  public:
    BenchWindow(
        int& argc, char** argv, MessageRecorder messages = [](const QString&, const QString&) {})
        : app(Offscreen(argc), argv) {
        SetSettingsFolderForTesting(settings.path());
        SetMessageBoxHook(std::move(messages));
        form = NewMainWindow();
        ShowMainWindow(*form);
    }

    PortBenchApplication app;
    QTemporaryDir settings;
    std::unique_ptr<TForm1> form;

  private:
    // The platform is chosen before the application object exists.
    static int& Offscreen(int& argc) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }
};

#endif
