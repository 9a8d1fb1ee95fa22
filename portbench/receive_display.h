// The receive display's own state: the decoder of received characters across
// polls, the line break a poll may end in the middle of, and the guard of a
// display-form conversion with the appends it holds back.
#ifndef PORTBENCH_RECEIVE_DISPLAY_H
#define PORTBENCH_RECEIVE_DISPLAY_H

#include "utf8_stream.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class ReceiveDisplayState {
  public:
    // A new stream (port opened, display form changed): nothing waits.
    void Reset();
    // The start of a character that waits for its rest, shown as it stands;
    // empty when nothing waits.
    QString Flush() { return stream_.Flush(); }

    // A poll's bytes in the character form: UTF-8, decoded across polls (a
    // character may straddle two), and CR LF one line break also when a poll
    // ends between the two.
    QString DecodePoll(const QByteArray& bytes);
    // The poll's text is shown: a CR at its end waits for a leading LF.
    void PollShown(const QByteArray& bytes) { endedWithCR_ = bytes.endsWith('\r'); }
    // Anything else, or nothing, is shown: a next LF is a line break of its own.
    void OtherShown() { endedWithCR_ = false; }

    // A display-form conversion is running.
    bool Converting() const { return converting_; }
    void BeginConversion() { converting_ = true; }
    // Ends the conversion; gives the appends held while it ran, in their order.
    QStringList EndConversion();
    // Keeps an append back while a conversion runs (its result would overwrite
    // it); false, and nothing kept, when none runs.
    bool Hold(const QString& text);

  private:
    Utf8Stream stream_;
    bool endedWithCR_ = false; // the last poll shown ended in CR
    bool converting_ = false;
    QStringList held_;
};

#endif
