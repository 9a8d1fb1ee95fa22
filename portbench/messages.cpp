#include "messages.h"

#include <QMessageBox>

namespace {
MessageRecorder messageHook;
std::function<void(const QString&)> errorHook;
} // namespace

void SetMessageBoxHook(MessageRecorder hook) { messageHook = std::move(hook); }
void SetErrorBoxHook(std::function<void(const QString&)> hook) { errorHook = std::move(hook); }

void ShowMessageBox(const QString& text, const QString& caption) {
    if (messageHook) {
        messageHook(text, caption);
        return;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok);
    box.exec();
}

void ShowErrorBox(const QString& message) {
    if (errorHook) {
        errorHook(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, ApplicationTitle, message, QMessageBox::Ok);
    box.exec();
}
