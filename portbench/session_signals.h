// The session's requests to end: SIGTERM (a logout, a service manager), SIGHUP
// (the terminal went away) and SIGINT (Ctrl+C). Each is turned into a call of
// `onSignal` from the event loop, so the program ends the way closing its
// window does, with the port released, instead of being cut off in the middle.
// A signal the program was started with ignored stays ignored.
#ifndef PORTBENCH_SESSION_SIGNALS_H
#define PORTBENCH_SESSION_SIGNALS_H

#include <QObject>
#include <functional>

class QSocketNotifier;

class SessionSignals : public QObject {
  public:
    explicit SessionSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SessionSignals() override; // the signals' former handlers come back

    // The first signal caught, 0 while none came.
    int Received() const { return received_; }

  private:
    void Drain();

    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
    int received_ = 0;
};

#endif
