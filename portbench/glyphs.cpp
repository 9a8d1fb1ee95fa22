// The pictures live in resources/ as XPM files, compiled into the program.
#include "glyphs.h"

#include <QString>

// Outside any namespace, as the resource initialiser must be; it also pulls the
// compiled resources out of the static library.
static void InitResources() {
    Q_INIT_RESOURCE(portbench);
}

namespace {

QPixmap Load(const QString& name) {
    static const bool ready = (InitResources(), true);
    (void)ready;
    return QPixmap(":/portbench/" + name + ".xpm");
}

} // namespace

QIcon LampGlyph(bool lit) {
    QIcon icon;
    icon.addPixmap(Load(lit ? "lamp_lit" : "lamp_unlit"));
    return icon;
}

std::vector<QPixmap> ToolBarImages() {
    std::vector<QPixmap> images;
    for (int i = 0; i < 8; ++i)
        images.push_back(Load(QString("toolbar%1").arg(i)));
    return images;
}

QIcon ProgramIcon() {
    return QIcon(Load("portbench"));
}
