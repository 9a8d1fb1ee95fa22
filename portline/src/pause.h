// The fixed pauses of the reader loops, ReadAllPort, ClearPort and the exchanges.
#ifndef PORTLINE_PAUSE_H
#define PORTLINE_PAUSE_H

#include <chrono>
#include <thread>

namespace portline {

inline void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace portline

#endif
