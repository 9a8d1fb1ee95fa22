#include "application.h"

#include "glyphs.h"
#include "messages.h"

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
