#include "search/SiteMatcher.h"

#include "data/Records.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace korvalo {

namespace {

constexpr size_t kTitleOffset = 84;
constexpr uint8_t kStretch = 0xDC; // ـ

// Rough shares, in parts per ten thousand, of the letters in the texts the
// search looks through, as they compare: Arabic letters with their folded
// forms counted in (ا with أ إ آ, ه with ة, و with ؤ), Latin letters without
// case. Only the speed depends on them: a rarer letter makes a better
// filter. A byte not listed is taken as rare.
struct Share {
    uint8_t byte;
    uint16_t share;
};
constexpr Share kShares[] = {
    // Arabic, Windows-1256
    {0xC7, 1600},
    {0xE1, 1100},
    {0xED, 750},
    {0xE3, 650},
    {0xE5, 650},
    {0xE6, 600},
    {0xE4, 550},
    {0xD1, 450},
    {0xCA, 450},
    {0xC8, 380},
    {0xDA, 310},
    {0xCF, 280},
    {0xDD, 270},
    {0xD3, 240},
    {0xDF, 220},
    {0xDE, 220},
    {0xCD, 200},
    {0xCC, 140},
    {0xD4, 100},
    {0xD5, 100},
    {0xD8, 100},
    {0xCE, 80},
    {0xD0, 80},
    {0xEC, 80},
    {0xCB, 50},
    {0xD2, 50},
    {0xD6, 50},
    {0xDB, 40},
    {0xC6, 40},
    {0xC1, 30},
    {0xD9, 20},
    {kStretch, 10},
    // the blank between words
    {' ', 1500},
    // Latin letters, digits and the punctuation of addresses
    {'E', 900},
    {'T', 700},
    {'A', 700},
    {'O', 700},
    {'I', 650},
    {'N', 600},
    {'S', 600},
    {'R', 550},
    {'/', 600},
    {'.', 500},
    {'H', 400},
    {'L', 400},
    {'W', 400},
    {'C', 350},
    {'D', 300},
    {'M', 300},
    {'P', 300},
    {'U', 250},
    {'G', 200},
    {':', 150},
    {'-', 150},
    {'B', 150},
    {'F', 150},
    {'Y', 150},
    {'K', 100},
    {'V', 100},
    {'0', 100},
    {'1', 100},
    {'2', 80},
    {'3', 60},
    {'4', 60},
    {'5', 60},
    {'6', 50},
    {'7', 50},
    {'8', 50},
    {'9', 50},
    {'X', 30},
    {'J', 30},
    {'Z', 20},
    {'Q', 10},
    {'_', 30},
    {'=', 30},
    {'?', 20},
};

uint32_t shareOf(uint8_t compared) {
    for (const Share& s : kShares)
        if (s.byte == compared)
            return s.share;
    return 5;
}

} // namespace

SiteMatcher::SiteMatcher(std::string_view query, SearchScope scope, bool vectorised)
    : needle_(prepareSearchQuery(query))
    , offset_(scope == SearchScope::Description ? kTitleOffset : 0)
    , width_(scope == SearchScope::Description ? kTitleWidth : kUrlWidth)
    , fold_(scope == SearchScope::Description) {
    // The texts end at their first NUL, and folding never lengthens one.
    if (needle_.empty() || needle_.size() > width_ || needle_.find('\0') != std::string::npos) {
        nothing_ = true;
        return;
    }
    for (int s = 0; s < 256; ++s) {
        const std::string plain(1, static_cast<char>(s - kShift));
        std::string compared = upperCaseAscii(plain);
        // The folding drops the stretching letter; the test passes over it.
        if (fold_)
            compared = FoldSearchText(compared).substr(0, 1);
        compare_[size_t(s)] = plain[0] == 0      ? 0
                              : compared.empty() ? kStretch
                                                 : uint8_t(compared[0]);
    }
    const auto spellings = [this](uint8_t compared) {
        std::vector<uint8_t> out;
        for (int s = 0; s < 256; ++s)
            if (uint8_t(s) != kShift && compare_[size_t(s)] == compared)
                out.push_back(uint8_t(s));
        return out;
    };
    const auto letter = [this](size_t i) { return uint8_t(needle_[i]); };
    // The stretching letter may stand between any two letters of a
    // description.
    const uint32_t between = fold_ ? shareOf(kStretch) : 0;
    uint64_t best = UINT64_MAX;
    for (size_t j = 0; j + 1 < needle_.size(); ++j) {
        const uint64_t score = uint64_t(shareOf(letter(j))) * (shareOf(letter(j + 1)) + between);
        if (score < best) {
            best = score;
            anchor_ = j;
        }
    }
    first_ = spellings(letter(anchor_));
    if (anchor_ + 1 < needle_.size()) {
        second_ = spellings(letter(anchor_ + 1));
        if (fold_)
            second_.push_back(uint8_t(kStretch + kShift));
    }
#if defined(__x86_64__)
    if (vectorised && __builtin_cpu_supports("avx2"))
        finder_ = avx2Finder(first_.size(), second_.size());
#else
    (void)vectorised;
#endif
}

bool SiteMatcher::matchesAt(const uint8_t* field, size_t at, bool checkEnd) const {
    const size_t n = needle_.size();
    size_t q = at;
    for (size_t k = anchor_; k < n; ++q) {
        if (q >= width_)
            return false;
        const uint8_t c = compare_[field[q]];
        if (fold_ && c == kStretch)
            continue;
        if (c != uint8_t(needle_[k]))
            return false;
        ++k;
    }
    q = at;
    for (size_t k = anchor_; k > 0;) {
        if (q == 0)
            return false;
        const uint8_t c = compare_[field[--q]];
        if (fold_ && c == kStretch)
            continue;
        if (c != uint8_t(needle_[k - 1]))
            return false;
        --k;
    }
    // A match in the bytes after the terminator is no match.
    return !checkEnd || !std::memchr(field, kShift, q);
}

void SiteMatcher::findIn(const uint8_t* records, size_t count, std::vector<uint32_t>& hits) const {
    if (nothing_)
        return;
    if (finder_)
        return (this->*finder_)(records, count, hits);
    findPlain(records, count, hits);
}

void SiteMatcher::findPlain(const uint8_t* records, size_t count,
                            std::vector<uint32_t>& hits) const {
    std::array<bool, 256> isFirst{}, isSecond{};
    for (uint8_t s : first_)
        isFirst[s] = true;
    for (uint8_t s : second_)
        isSecond[s] = true;
    const bool pair = !second_.empty();
    for (size_t r = 0; r < count; ++r) {
        const uint8_t* field = records + r * kSiteRecordSize + offset_;
        // The byte after the field still lies in the record.
        for (size_t at = 0; at < width_; ++at)
            if (isFirst[field[at]] && (!pair || isSecond[field[at + 1]]) &&
                matchesAt(field, at, true)) {
                hits.push_back(static_cast<uint32_t>(r));
                break;
            }
    }
}

#if defined(__x86_64__)

namespace {

// Where the filter holds among the 32 bytes from p: 0xFF bytes.
template <size_t First, size_t Second>
__attribute__((target("avx2"))) inline __m256i filterHits(const uint8_t* p, const __m256i* first,
                                                          const __m256i* second) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    __m256i hit = _mm256_cmpeq_epi8(v, first[0]);
    for (size_t i = 1; i < First; ++i)
        hit = _mm256_or_si256(hit, _mm256_cmpeq_epi8(v, first[i]));
    if constexpr (Second > 0) {
        const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
        __m256i next = _mm256_cmpeq_epi8(w, second[0]);
        for (size_t i = 1; i < Second; ++i)
            next = _mm256_or_si256(next, _mm256_cmpeq_epi8(w, second[i]));
        hit = _mm256_and_si256(hit, next);
    }
    return hit;
}

__attribute__((target("avx2"))) inline uint32_t bitsOf(__m256i bytes) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(bytes));
}

__attribute__((target("avx2"))) inline uint32_t byteMask(const uint8_t* p, __m256i byte) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, byte)));
}

} // namespace

// The counts of spellings are template arguments, so that the compiler lays
// out each filter without loops.
//
// Two passes over each run of records. The first only notes the records
// where the filter holds anywhere in the field, without a branch on what it
// finds: on text just read, a mispredicted branch costs more than the
// filter. The second, over those few records while they are still in the
// cache, keeps the places before the terminator and runs the full test.
template <size_t First, size_t Second>
__attribute__((target("avx2"))) void SiteMatcher::findAvx2(const uint8_t* records, size_t count,
                                                           std::vector<uint32_t>& hits) const {
    __m256i first[First], second[Second > 0 ? Second : 1];
    for (size_t i = 0; i < First; ++i)
        first[i] = _mm256_set1_epi8(static_cast<char>(first_[i]));
    for (size_t i = 0; i < Second; ++i)
        second[i] = _mm256_set1_epi8(static_cast<char>(second_[i]));
    const __m256i terminator = _mm256_set1_epi8(static_cast<char>(kShift));
    // Three loads cover the field: at 0, 32 and width - 32; of the last, only
    // the positions from 64 on are new. Neither that load nor the one a byte
    // after it leaves the record.
    static_assert(kUrlWidth <= 96 && kTitleWidth <= 96 && kTitleOffset + kTitleWidth < 176);
    const size_t last = width_ - 32;
    const uint32_t newInLast = ~0u << (64 - last);
    const auto filter = [&](const uint8_t* field, uint32_t(&masks)[3])
        __attribute__((target("avx2"), always_inline)) {
        masks[0] = bitsOf(filterHits<First, Second>(field, first, second));
        masks[1] = bitsOf(filterHits<First, Second>(field + 32, first, second));
        masks[2] = bitsOf(filterHits<First, Second>(field + last, first, second)) & newInLast;
    };
    // A bit for each of 64 records: whether the filter holds in it.
    for (size_t from = 0; from < count; from += 64) {
        const size_t to = std::min(count, from + 64);
        uint64_t candidates = 0;
        for (size_t r = from; r < to; ++r) {
            uint32_t masks[3];
            filter(records + r * kSiteRecordSize + offset_, masks);
            candidates |= uint64_t((masks[0] | masks[1] | masks[2]) != 0) << (r - from);
        }
        for (; candidates; candidates &= candidates - 1) {
            const size_t r = from + size_t(__builtin_ctzll(candidates));
            const uint8_t* field = records + r * kSiteRecordSize + offset_;
            uint32_t masks[3];
            filter(field, masks);
            // Only places before the terminator count: the text ends there.
            const uint64_t low = uint64_t(byteMask(field, terminator)) |
                                 uint64_t(byteMask(field + 32, terminator)) << 32;
            const uint32_t high = byteMask(field + last, terminator) & newInLast;
            if (low) {
                const uint64_t before = (1ull << __builtin_ctzll(low)) - 1;
                masks[0] &= uint32_t(before);
                masks[1] &= uint32_t(before >> 32);
                masks[2] = 0;
            } else if (high) {
                masks[2] &= (1u << __builtin_ctz(high)) - 1;
            }
            const size_t base[3] = {0, 32, last};
            bool match = false;
            for (size_t k = 0; k < 3 && !match; ++k)
                for (uint32_t m = masks[k]; m && !match; m &= m - 1)
                    match = matchesAt(field, base[k] + size_t(__builtin_ctz(m)), false);
            if (match)
                hits.push_back(static_cast<uint32_t>(r));
        }
    }
}

template <size_t First, size_t... Second>
constexpr std::array<SiteMatcher::Finder, sizeof...(Second)>
SiteMatcher::avx2Finders(std::index_sequence<Second...>) {
    return {&SiteMatcher::findAvx2<First, Second>...};
}

SiteMatcher::Finder SiteMatcher::avx2Finder(size_t first, size_t second) {
    // By the counts of spellings of the filter's two letters.
    static constexpr std::array<std::array<Finder, 6>, 4> finders = {
        avx2Finders<1>(std::make_index_sequence<6>()),
        avx2Finders<2>(std::make_index_sequence<6>()),
        avx2Finders<3>(std::make_index_sequence<6>()),
        avx2Finders<4>(std::make_index_sequence<6>())};
    return first >= 1 && first <= 4 && second <= 5 ? finders[first - 1][second] : nullptr;
}

#endif

} // namespace korvalo
