// Whether the window has somewhere to be shown. Without a display the toolkit's
// usual platform aborts the process with a long complaint; the program says one
// line instead and ends with status 1.
#ifndef PORTBENCH_DISPLAY_CHECK_H
#define PORTBENCH_DISPLAY_CHECK_H

#include <string>

// The environment a check looks at; empty means unset.
struct DisplayEnvironment {
    std::string platform;       // -platform NAME, else QT_QPA_PLATFORM
    std::string x11Display;     // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
};

DisplayEnvironment CurrentDisplayEnvironment(int argc, char** argv);

// False when no platform named (or the default one) can show a window.
bool HasDisplay(const DisplayEnvironment& environment);

// The one line said when there is none, without its line break.
extern const char* const NoDisplayMessage;

// From here until the application object stands, a toolkit that still finds
// no display (a DISPLAY naming a server that is not there) ends the process
// with the same line and status 1 instead of aborting.
void ExitQuietlyWithoutDisplay();
// The toolkit's messages go back to their usual handling.
void DisplayFound();

#endif
