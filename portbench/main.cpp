// Program entry: the application, the main window, the two About boxes hidden,
// then the event loop until the main window closes.
#include "about_boxes.h"
#include "application.h"
#include "form1.h"
#include "messages.h"
#include "skin.h"

int main(int argc, char** argv) {
    PortBenchApplication app(argc, argv);
    ApplySkin(app);
    // Errors inside the loop are shown by the application object; this catches
    // what escapes start-up itself.
    try {
        TForm1 form1;
        form1.Form2 = new TForm2(&form1);
        form1.Form3 = new TForm3(&form1);
        form1.show();
        return app.exec();
    } catch (...) {
        ShowCurrentError();
    }
    return 1;
}
