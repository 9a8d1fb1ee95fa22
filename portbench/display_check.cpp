#include "display_check.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <utility>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

const char* const NoDisplayMessage =
    "portbench: no display to show the window on: run it in a desktop session, "
    "with ssh -X, or under xvfb-run";

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A platform named and its display missing; any other platform is left to
// the toolkit, whose failure ExitQuietlyWithoutDisplay catches.
bool CanShow(const std::string& name, const DisplayEnvironment& e) {
    // A platform's options follow a colon: "xcb:foo=1".
    const std::string plugin = name.substr(0, name.find(':'));
    if (plugin == "xcb") return !e.x11Display.empty();
    if (plugin.rfind("wayland", 0) == 0) return !e.waylandDisplay.empty();
    return !plugin.empty();
}

QtMessageHandler formerHandler = nullptr;

// What the toolkit says while it starts, handed on once it has started.
struct HeldMessage {
    QtMsgType type;
    QString text;
};
QList<HeldMessage> held;

void OnToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage);
        ::_exit(1);
    }
    // What comes before a fatal message (which plugin failed and why) is held
    // back, so that the answer stays one line.
    Q_UNUSED(context);
    held.append({type, text});
}

} // namespace

DisplayEnvironment CurrentDisplayEnvironment(int argc, char** argv) {
    DisplayEnvironment e{Env("QT_QPA_PLATFORM"), Env("DISPLAY"), Env("WAYLAND_DISPLAY")};
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0) e.platform = argv[i + 1];
    return e;
}

bool HasDisplay(const DisplayEnvironment& e) {
    if (e.platform.empty()) return !e.x11Display.empty() || !e.waylandDisplay.empty();
    // A list ("wayland;xcb") is tried in its order until one starts.
    size_t start = 0;
    while (start <= e.platform.size()) {
        const size_t end = std::min(e.platform.find(';', start), e.platform.size());
        if (CanShow(e.platform.substr(start, end - start), e)) return true;
        start = end + 1;
    }
    return false;
}

void ExitQuietlyWithoutDisplay() {
    formerHandler = qInstallMessageHandler(OnToolkitMessage);
}

void DisplayFound() {
    qInstallMessageHandler(formerHandler);
    for (const HeldMessage& message : std::exchange(held, {})) {
        const QByteArray text = message.text.toLocal8Bit();
        if (message.type == QtDebugMsg)
            qDebug("%s", text.constData());
        else if (message.type == QtInfoMsg)
            qInfo("%s", text.constData());
        else
            qWarning("%s", text.constData());
    }
}
