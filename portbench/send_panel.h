// The send panel's own state: the timed send's choice with the rule that
// starts and stops its timer, and the last text the conversion to plain text
// made.
#ifndef PORTBENCH_SEND_PANEL_H
#define PORTBENCH_SEND_PANEL_H

#include <QString>
#include <QTimer>
#include <cstdint>

class SendPanelState {
  public:
    // CheckBox2's choice; the timer also needs a positive interval.
    bool TimedSendOn() const { return timedSendOn_; }
    void SetTimedSendOn(bool on) { timedSendOn_ = on; }
    // Gives the timed send's timer its interval. It ticks while the timed send
    // is on and the interval is positive: a QTimer of interval 0 would fire at
    // every pass of the event loop, so it is never started with one. Starting
    // an active timer restarts its count.
    void SetInterval(QTimer& timer, int32_t ms) const;

    // The text the conversion to plain text made. It turns back into exactly
    // its bytes while the send box still holds it unchanged.
    void SetPlainConversion(const QString& text) { plainConversion_ = text; }
    bool IsPlainConversion(const QString& text) const { return text == plainConversion_; }

  private:
    bool timedSendOn_ = false;
    QString plainConversion_;
};

#endif
