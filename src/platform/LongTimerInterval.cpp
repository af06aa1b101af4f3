#include "platform/LongTimerInterval.h"

#include <algorithm>
#include <limits>

namespace korvalo {

namespace {

LongTimerIntervalSource& source() {
    static LongTimerIntervalSource s;
    return s;
}

} // namespace

int longTimerInterval(int64_t designedMs) {
    const int64_t ms = source() ? source()(designedMs) : designedMs;
    return static_cast<int>(std::clamp<int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

void setLongTimerIntervalSource(LongTimerIntervalSource s) {
    source() = std::move(s);
}

} // namespace korvalo
