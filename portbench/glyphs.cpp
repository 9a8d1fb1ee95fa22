// The pictures live in resources/ as XPM files. XPM is C source, so they are
// compiled in as arrays and decoded straight from them: loading them as files
// would make the toolkit open every image format plugin to find a reader.
#include "glyphs.h"

namespace {

#include "lamp_lit.xpm"
#include "lamp_unlit.xpm"
#include "portbench.xpm"
#include "toolbar0.xpm"
#include "toolbar1.xpm"
#include "toolbar2.xpm"
#include "toolbar3.xpm"
#include "toolbar4.xpm"
#include "toolbar5.xpm"
#include "toolbar6.xpm"
#include "toolbar7.xpm"

} // namespace

QIcon LampGlyph(bool lit) {
    QIcon icon;
    icon.addPixmap(QPixmap(lit ? lamp_lit : lamp_unlit));
    return icon;
}

std::vector<QPixmap> ToolBarImages() {
    std::vector<QPixmap> images;
    for (const char* const* xpm :
         {toolbar0, toolbar1, toolbar2, toolbar3, toolbar4, toolbar5, toolbar6, toolbar7})
        images.emplace_back(xpm);
    return images;
}

QIcon ProgramIcon() {
    return QIcon(QPixmap(portbench));
}
