// A real TForm1 for a test: a fresh settings folder, recorded message and
// error boxes, and the window shown (so FormShow has run) on the offscreen platform.
#ifndef PORTBENCH_TEST_FORM_FIXTURE_H
#define PORTBENCH_TEST_FORM_FIXTURE_H

#include "messages.h"
#include "settings.h"
#include "window_under_test.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

struct RecordedBox {
    QString text;
    QString caption;
};

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(settingsDir.isValid());
        SetSettingsFolderForTesting(settingsDir.path());
        SetMessageBoxHook([this](const QString& text, const QString& caption) {
            boxes.push_back({text, caption});
        });
        SetErrorBoxHook([this](const QString& message) { errors.push_back(message); });
    }

    void TearDown() override {
        form.reset();
        SetMessageBoxHook({});
        SetErrorBoxHook({});
        SetSettingsFolderForTesting({});
    }

    // Creates and shows the window; write a settings file first to test start-up.
    TForm1& Show() {
        form = NewMainWindow();
        ShowMainWindow(*form);
        return *form;
    }

    // Runs the event loop until `done` holds or `timeoutMs` passes.
    template <typename Pred> bool WaitFor(Pred done, int timeoutMs = 5000) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        return true;
    }

    // Lets the event loop run for about `ms` milliseconds.
    void Pump(int ms) {
        WaitFor([] { return false; }, ms);
    }

    QString SettingsFile() const { return settingsDir.filePath("PortBench.ini"); }

    // Puts a settings file in place before the window starts.
    void WriteSettings(const QByteArray& text) {
        QFile file(SettingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QByteArray SettingsText() {
        QFile file(SettingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir settingsDir;
    std::unique_ptr<TForm1> form;
    std::vector<RecordedBox> boxes;
    std::vector<QString> errors;
};

#endif
