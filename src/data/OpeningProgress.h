#pragma once

#include "data/SiteListing.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korvalo {

// The progress of opening another database, on a bar of 100 steps: the bar
// moves by one every (length / 225) / 100 records, counted from the first.
class OpeningProgress {
public:
    explicit OpeningProgress(uint64_t fileLength)
        : step_(fileLength / 225 / 100) {}

    // Called before each record is counted; true when the bar moves.
    bool beforeRecord() {
        const bool moves = counter_ == step_;
        if (moves)
            counter_ = 0;
        ++counter_;
        return moves;
    }

    uint64_t step() const { return step_; }

private:
    uint64_t step_;
    uint64_t counter_ = 0;
};

struct OpenedSiteFile {
    bool opened = false;   // nothing else is set when the file cannot be opened
    bool complete = false; // false after a read error: what was read is kept
    uint64_t siteCount = 0;
    SiteRowBuffer firstCategoryRows; // sites whose CategoryId is 1
};

// Reads another database through once: opens it (and calls opened() once
// it is open, before anything is read), then counts every whole record and
// gathers the sites of category 1, calling advance() whenever the bar moves.
OpenedSiteFile ScanOpenedSiteFile(const std::string& sitePath, const std::function<void()>& opened,
                                  const std::function<void()>& advance);

} // namespace korvalo
