// Program entry: the command line and the display checked, the application,
// the main window, the two About boxes hidden, then the event loop until the
// main window closes (by the user or by a session's signal).
#include "about_boxes.h"
#include "application.h"
#include "command_line.h"
#include "display_check.h"
#include "form1.h"
#include "messages.h"
#include "skin.h"

#ifndef _WIN32
#include "session_signals.h"
#endif

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    if (const auto answered = AnswerCommandLine(argc, argv)) return *answered;
#ifndef _WIN32
    if (!HasDisplay(CurrentDisplayEnvironment(argc, argv))) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage);
        return 1;
    }
#endif
    ExitQuietlyWithoutDisplay();
    PortBenchApplication app(argc, argv);
    DisplayFound();
    ApplySkin(app);
    // Errors inside the loop are shown by the application object; this catches
    // what escapes start-up itself.
    try {
        TForm1 form1;
        form1.Form2 = new TForm2(&form1);
        form1.Form3 = new TForm3(&form1);
#ifndef _WIN32
        // A signal ends the program as the close box does, with the status a
        // signal gives (128 + its number).
        SessionSignals sessionSignals([&form1] { form1.close(); });
#endif
        form1.show();
        const int status = app.exec();
#ifndef _WIN32
        if (sessionSignals.Received() != 0) return 128 + sessionSignals.Received();
#endif
        return status;
    } catch (...) {
        ShowCurrentError();
    }
    return 1;
}
