#include "session_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

constexpr int Caught[] = {SIGTERM, SIGHUP, SIGINT};

// The pipe that carries a caught signal's number from the handler to the event
// loop; only one watcher exists at a time.
int pipeEnds[2] = {-1, -1};
struct sigaction former[std::size(Caught)];

void OnSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

SessionSignals::SessionSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return; // signals keep their defaults
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(Caught); ++i) {
        ::sigaction(Caught[i], &action, &former[i]);
        // A signal ignored from the start stays ignored (nohup's SIGHUP, the
        // SIGINT of a job started in the background).
        if (former[i].sa_handler == SIG_IGN) ::sigaction(Caught[i], &former[i], nullptr);
    }
}

SessionSignals::~SessionSignals() {
    if (!notifier_) return;
    for (size_t i = 0; i < std::size(Caught); ++i)
        ::sigaction(Caught[i], &former[i], nullptr);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void SessionSignals::Drain() {
    unsigned char byte = 0;
    bool any = false;
    while (::read(pipeEnds[0], &byte, 1) == 1) {
        if (received_ == 0) received_ = byte;
        any = true;
    }
    if (!any) return;
    // A second request while the first is being served ends the program at
    // once, as it would have without this watcher.
    for (size_t i = 0; i < std::size(Caught); ++i)
        ::sigaction(Caught[i], &former[i], nullptr);
    if (onSignal_) onSignal_();
}
