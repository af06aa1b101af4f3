#pragma once

#include <cstdint>

namespace korvalo {

// The byte range an HTTP component asks for; 0 and 0 ask for none, an
// EndRange of 0 asks for everything from StartRange on.
class THTTPRange {
public:
    int32_t StartRange() const { return start_; }
    void setStartRange(int32_t value) { start_ = value; }
    int32_t EndRange() const { return end_; }
    void setEndRange(int32_t value) { end_ = value; }

private:
    int32_t start_ = 0;
    int32_t end_ = 0;
};

} // namespace korvalo
