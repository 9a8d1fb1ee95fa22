#include "about_boxes.h"
#include "application.h"
#include "form1.h"

int main(int argc, char** argv) {
    PortBenchApplication app(argc, argv);
    TForm1 form1;
    form1.Form2 = new TForm2(&form1);
    form1.Form3 = new TForm3(&form1);
    form1.show();
    return app.exec();
}
