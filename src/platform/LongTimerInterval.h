#pragma once

#include <cstdint>
#include <functional>

namespace korvalo {

// The program's long timers (the favourites timer's minutes, the banner
// timer's five hours) take their interval from here rather than setting it
// directly, so that tests can make a minute pass in milliseconds.

// Maps a designed interval in milliseconds to the one the timer is set to.
using LongTimerIntervalSource = std::function<int64_t(int64_t designedMs)>;

// The interval to give a timer whose designed interval is designedMs,
// clamped to what a QTimer takes.
int longTimerInterval(int64_t designedMs);

// Installs a source for the whole process; an empty one restores the
// designed intervals. For tests only.
void setLongTimerIntervalSource(LongTimerIntervalSource source);

} // namespace korvalo
