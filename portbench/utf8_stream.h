// Received bytes as text, decoded as UTF-8 across chunks: a character cut
// between two chunks shows once, whole; a byte that is no part of a character
// shows as U+FFFD, and every byte after it is still decoded.
#ifndef PORTBENCH_UTF8_STREAM_H
#define PORTBENCH_UTF8_STREAM_H

#include <QByteArray>
#include <QString>

class Utf8Stream {
  public:
    // The text of what waited and `bytes`; an unfinished character at the end waits.
    QString Decode(const QByteArray& bytes);
    // The start of a character that still waits, shown as it stands (U+FFFD);
    // empty when nothing waits.
    QString Flush();
    void Reset() { unfinished_.clear(); }
    bool Waiting() const { return !unfinished_.isEmpty(); }

  private:
    QByteArray unfinished_;
};

// The length of an unfinished character at the end of `bytes`: a lead byte
// followed by fewer continuation bytes than it announces, all valid so far. 0
// when the bytes end on a whole character or on bytes that can start none.
qsizetype UnfinishedUtf8Tail(const QByteArray& bytes);

#endif
