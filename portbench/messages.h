// User messages and the error box. Every message box of the program goes
// through ShowMessageBox, every error that escapes a handler through
// ShowErrorBox; tests replace both with recorders.
#ifndef PORTBENCH_MESSAGES_H
#define PORTBENCH_MESSAGES_H

#include <QString>
#include <functional>
#include <stdexcept>

// An error that ends a handler and is shown in the error box
// ("Unable to write to %s", "'%s' is not a valid integer value", ...).
class AppError : public std::runtime_error {
  public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), text(message) {}
    QString text;
};

// Information icon, OK button, no owner window; returns when it is closed.
void ShowMessageBox(const QString& text, const QString& caption);
// Error icon, the application title as caption.
void ShowErrorBox(const QString& message);

// Runs one event handler. An error that escapes it is shown in the error box
// right here: it must not unwind through the toolkit's own code, which is built
// without exception support and would skip its own clean-up.
void RunHandler(const std::function<void()>& handler);
// Shows the error in flight (inside a catch block) in the error box.
void ShowCurrentError();

using MessageRecorder = std::function<void(const QString& text, const QString& caption)>;
void SetMessageBoxHook(MessageRecorder hook); // empty hook: show real boxes again
void SetErrorBoxHook(std::function<void(const QString& message)> hook);

// The application title: task-bar text and caption of the error box.
inline const char* const ApplicationTitle = "QuillPortBench(ver3.5)";

#endif
