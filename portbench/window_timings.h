// The window's fixed timings, each with the reason for its value.
#ifndef PORTBENCH_WINDOW_TIMINGS_H
#define PORTBENCH_WINDOW_TIMINGS_H

namespace WindowTimings {

// The receive poll (Timer1): one ReadAllPort per tick, which takes the text the
// library's reader published and asks it for the next. The reader answers an
// ask within one pass of its loop: it sleeps 100 ms, finds the ask, sleeps
// 50 ms more and only then reads and publishes, so a pass takes about 150 ms.
// The poll must be longer than that pass: a shorter one would often come back
// while the reader is still in its pauses, find nothing published and leave
// the bytes for a later tick. 170 ms leaves 20 ms for the pass's own read and
// for a late timer.
inline constexpr int ReceivePollMs = 170;

// The timed send's interval (Timer2) before the settings give one.
inline constexpr int TimedSendStartMs = 1000;
// The timed send's interval when the interval box holds no whole number.
inline constexpr int TimedSendFallbackMs = 100;

// How often the open port's device node is looked at (LostDeviceCheck): a
// pulled adapter is noticed within a second, and the check costs nothing
// noticeable at that rate.
inline constexpr int DeviceCheckMs = 500;

} // namespace WindowTimings

#endif
