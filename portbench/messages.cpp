#include "messages.h"

#include <QMessageBox>

namespace {
MessageRecorder messageHook;
std::function<void(const QString&)> errorHook;
} // namespace

void SetMessageBoxHook(MessageRecorder hook) {
    messageHook = std::move(hook);
}
void SetErrorBoxHook(std::function<void(const QString&)> hook) {
    errorHook = std::move(hook);
}

void ShowMessageBox(const QString& text, const QString& caption) {
    if (messageHook) {
        messageHook(text, caption);
        return;
    }
    // No owner window: the box stands on its own and blocks the whole program
    // until it is closed.
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok);
    box.exec();
}

void ShowErrorBox(const QString& message) {
    if (errorHook) {
        errorHook(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(ApplicationTitle), message,
                    QMessageBox::Ok);
    box.exec();
}

void ShowCurrentError() {
    try {
        throw;
    } catch (const AppError& error) {
        ShowErrorBox(error.text);
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        // A thrown value that is no error object shows as an empty message.
        ShowErrorBox(QString());
    }
}

void RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        ShowCurrentError();
    }
}
