// What every window benchmark sets up: Qt's offscreen platform, a throw-away
// settings folder, message boxes that answer at once, and the real main window shown.
#ifndef PORTBENCH_BENCH_WINDOW_H
#define PORTBENCH_BENCH_WINDOW_H

#include "about_boxes.h"
#include "application.h"
#include "form1.h"
#include "messages.h"
#include "settings.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <memory>
#include <utility>

class BenchWindow {
  public:
    BenchWindow(
        int& argc, char** argv, MessageRecorder messages = [](const QString&, const QString&) {})
        : app(Offscreen(argc), argv) {
        SetSettingsFolderForTesting(settings.path());
        SetMessageBoxHook(std::move(messages));
        form = std::make_unique<TForm1>();
        form->Form2 = new TForm2(form.get());
        form->Form3 = new TForm3(form.get());
        form->show();
        QCoreApplication::processEvents();
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

// Lines as the display shows them: wrapped lines count, an empty last line does not.
inline int ShownLines(QPlainTextEdit* memo) {
    QTextDocument* document = memo->document();
    int count = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        document->documentLayout()->blockBoundingRect(block); // lays the block out
        count += block.layout()->lineCount();
    }
    return document->lastBlock().text().isEmpty() ? count - 1 : count;
}

#endif
