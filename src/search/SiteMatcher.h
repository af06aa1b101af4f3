#pragma once

#include "search/LocalSearch.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvalo {

// The local search's test of stored site records, a block of them at a
// time, without decoding them: a record matches when its field (by scope),
// unshifted, upper-cased and, in the descriptions, folded, holds the
// prepared query as one run of bytes.
//
// Most records hold no two consecutive letters of the query in the places
// the query needs them, and a record is passed over on that alone: the
// matcher picks the pair of neighbouring query letters that ordinary text
// holds least often (with every stored spelling of each, and the stretching
// letter, which may stand between them), looks for it with vector
// instructions, and runs the full test only where it occurs.
class SiteMatcher {
public:
    // vectorised false keeps to plain code on every machine (the tests
    // compare the two); otherwise the vector code runs where the processor
    // has AVX2.
    SiteMatcher(std::string_view query, SearchScope scope, bool vectorised = true);

    // The query prepares to nothing, or to what no field can hold.
    bool matchesNothing() const { return nothing_; }

    // Appends to hits the index of every record, among the count stored site
    // records at records, that matches; in order.
    void findIn(const uint8_t* records, size_t count, std::vector<uint32_t>& hits) const;

private:
    using Finder = void (SiteMatcher::*)(const uint8_t*, size_t, std::vector<uint32_t>&) const;
#if defined(__x86_64__)
    // The vector code, by the counts of spellings in the filter.
    template <size_t First, size_t Second>
    void findAvx2(const uint8_t* records, size_t count, std::vector<uint32_t>& hits) const;
    template <size_t First, size_t... Second>
    static constexpr std::array<Finder, sizeof...(Second)>
        avx2Finders(std::index_sequence<Second...>);
    static Finder avx2Finder(size_t first, size_t second);
#endif

    // The full test at one place: field position at holds query letter
    // anchor_. checkEnd: whether at may lie after the terminator.
    bool matchesAt(const uint8_t* field, size_t at, bool checkEnd) const;
    void findPlain(const uint8_t* records, size_t count, std::vector<uint32_t>& hits) const;

    std::string needle_;
    size_t offset_;
    size_t width_;
    bool fold_;
    bool nothing_ = false;
    Finder finder_ = nullptr; // the vector code for the filter, when it runs here
    // The byte each stored byte compares as: unshifted, upper-cased, folded
    // in the descriptions; 0 for the terminator.
    std::array<uint8_t, 256> compare_{};
    // The filter: query letter anchor_ in one of its stored spellings, then
    // (when the query has a next letter) letter anchor_ + 1 or the
    // stretching letter in the next byte.
    size_t anchor_ = 0;
    std::vector<uint8_t> first_;
    std::vector<uint8_t> second_;
};

} // namespace korvalo
