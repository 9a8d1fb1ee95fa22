#include "application.h"

#include "glyphs.h"
#include "messages.h"

#include <QSettings>

PortBenchApplication::PortBenchApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The application title "QuillPortBench(ver3.5)" is the error box's caption.
    // It is deliberately not the display name: on X11 Qt appends that to every
    // window title, and X11 has no task-bar text apart from the window titles.
    setWindowIcon(ProgramIcon());
    // Matches the window to its menu entry: the app id on Wayland (on X11 the
    // entry's StartupWMClass names the program).
    setDesktopFileName("com.quill_sensor.PortBench");
    // Only the main window's close ends the loop (TForm1::closeEvent); other
    // windows, shown or not, neither keep it going nor end it.
    setQuitOnLastWindowClosed(false);
    KeepNoToolkitSettings();
}

// The toolkit's file dialog keeps its folder history in a settings file of the
// toolkit's own, read when a dialog is made and written when it goes, at exit
// at the latest. The program's only configuration is PortBench.ini, so those
// settings live in a folder that cannot exist (below a device file): nothing
// is read there and every write is dropped.
void PortBenchApplication::KeepNoToolkitSettings() {
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, "/dev/null/no-settings");
}

// The last resort for an error that escapes code run outside the bound handlers
// (those catch their own, see RunHandler): it is shown where the event was
// delivered and the loop goes on.
bool PortBenchApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentError();
    }
    return false;
}
