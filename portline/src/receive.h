// The receive path: the passes the reader threads run.
#ifndef PORTLINE_RECEIVE_H
#define PORTLINE_RECEIVE_H

namespace portline {

// One pass of TFormThread after its pauses, once it has found the request set: reads the
// published count of bytes and hands them over, unless a command withdrew the request.
void ReaderPass();
// One pass of AXThread after its pause: one event wait, then the publication.
void WatcherPass();

} // namespace portline

#endif
