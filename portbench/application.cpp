#include "application.h"

#include "messages.h"

PortBenchApplication::PortBenchApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool PortBenchApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError& error) {
        ShowErrorBox(error.text);
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
    return false;
}
