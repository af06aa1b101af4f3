#include "search/AddressOrder.h"

#include "data/Cp1256.h"
#include "data/SiteRowBuffer.h"
#include "platform/PageBuffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace korvalo {

namespace {

// The letter each byte compares as, as a rank from 1 up; a byte that is no
// letter of its own shares the rank of the letter it is a form of. Derived
// from the characters' Unicode properties, so no letter is listed by hand.
struct Ranks {
    std::array<uint8_t, 256> of{};

    Ranks() {
        std::array<uint32_t, 256> weight{};
        for (int b = 1; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            QChar c = Cp1256::toUnicode(std::string_view(&byte, 1)).at(0);
            const QString parts = c.decomposition();
            if (c.decompositionTag() == QChar::Canonical && !parts.isEmpty())
                c = parts.at(0); // أ إ آ -> ا, ؤ -> و, ئ -> ي, à -> a
            c = c.toCaseFolded();
            if (c == QChar(0x0629)) // ة -> ه
                c = QChar(0x0647);
            uint32_t group = 1; // punctuation, symbols, marks, the stretching letter
            if (c.isDigit())
                group = 2;
            else if (c.isLetter() && c.script() == QChar::Script_Arabic)
                group = 4;
            else if (c.isLetter() && c.category() != QChar::Letter_Modifier)
                group = 3;
            weight[size_t(b)] = group << 16 | c.unicode();
        }
        std::array<uint32_t, 255> sorted;
        std::copy(weight.begin() + 1, weight.end(), sorted.begin());
        std::sort(sorted.begin(), sorted.end());
        const auto last = std::unique(sorted.begin(), sorted.end());
        for (int b = 1; b < 256; ++b)
            of[size_t(b)] = static_cast<uint8_t>(
                1 + (std::lower_bound(sorted.begin(), last, weight[size_t(b)]) - sorted.begin()));
    }
};

const std::array<uint8_t, 256>& ranks() {
    static const Ranks r;
    return r.of;
}

// The sort: most significant letters first, eight at a time. Each row
// carries the ranks of its next eight letters as one number, so the sort
// moves and compares 16-byte items instead of reaching into the addresses,
// and goes back to an address only for the next eight letters of rows still
// tied. Ranks are never 0, so a key padded with zeros marks an address that
// ended, and a shorter address goes first.
struct Item {
    uint64_t key;
    SiteRowBuffer::Place place;
};
static_assert(sizeof(Item) == 2 * sizeof(SiteRowBuffer::Place));

class RadixSort {
public:
    RadixSort(const SiteRowBuffer& rows, size_t count)
        : rows_(rows)
        , rank_(ranks())
        , scratchItems_(ptrdiff_t(count <= kScratchItems ? count : kScratchItemsBeside)) {
        // The first pass fills the scratch whole.
        scratch_.reserve(size_t(scratchItems_) * sizeof(Item), true);
    }

    // Letters every address shares need no pass: the sort starts after them.
    void run(Item* begin, Item* end) { sortLetters(begin, end, sharedPrefix(begin, end)); }

private:
    static constexpr ptrdiff_t kSmall = 48;
    // Up to this many rows sort through a scratch buffer as large as
    // themselves. Beyond, groups are first split in place down to a smaller
    // scratch buffer's size, so that a million rows, whose texts and items
    // fill most of the memory the process may take, need only 256 KB more.
    static constexpr size_t kScratchItems = 128 * 1024;
    static constexpr size_t kScratchItemsBeside = 16 * 1024;
    static constexpr ptrdiff_t kAhead = 32;

    static uint8_t byteOf(uint64_t key, int index) { return uint8_t(key >> (56 - 8 * index)); }

    // The ranks of letters depth .. depth+7 of an address, zeros past its
    // end. The eight bytes are read whatever the address's length: the
    // buffer allows reading past a text.
    uint64_t keyOf(std::string_view url, size_t depth) const {
        if (depth >= url.size())
            return 0;
        const uint8_t* p = reinterpret_cast<const uint8_t*>(url.data()) + depth;
        uint64_t key = 0;
        for (size_t i = 0; i < 8; ++i)
            key |= uint64_t(rank_[p[i]]) << (56 - 8 * i);
        const size_t n = url.size() - depth;
        return n >= 8 ? key : key & ~(~uint64_t(0) >> (8 * n));
    }

    size_t sharedPrefix(const Item* begin, const Item* end) const {
        const std::string_view first = rows_.urlAt(begin->place);
        size_t shared = first.size();
        for (const Item* it = begin + 1; it != end && shared > 0; ++it) {
            const std::string_view url = rows_.urlAt(it->place);
            size_t i = 0;
            const size_t n = std::min(shared, url.size());
            while (i < n && url[i] == first[i])
                ++i;
            shared = i;
        }
        return shared;
    }

    struct Bounds {
        uint64_t low = ~uint64_t(0);
        uint64_t high = 0;
        void add(uint64_t key) {
            low = std::min(low, key);
            high = std::max(high, key);
        }
    };

    Bounds fillKeys(Item* begin, Item* end, size_t depth) {
        // The rows lie all over the buffer once sorted a first time: ask for
        // their addresses some rows ahead.
        Bounds bounds;
        for (Item* it = begin; it != end; ++it) {
            if (end - it > kAhead)
                rows_.prefetchAt(it[kAhead].place, depth);
            it->key = keyOf(rows_.urlAt(it->place), depth);
            bounds.add(it->key);
        }
        return bounds;
    }

    int compareFrom(const Item& a, const Item& b, size_t depth) const {
        const std::string_view ua = rows_.urlAt(a.place), ub = rows_.urlAt(b.place);
        const size_t n = std::min(ua.size(), ub.size());
        for (size_t i = depth; i < n; ++i) {
            const uint8_t ra = rank_[uint8_t(ua[i])], rb = rank_[uint8_t(ub[i])];
            if (ra != rb)
                return ra < rb ? -1 : 1;
        }
        if (ua.size() != ub.size())
            return ua.size() < ub.size() ? -1 : 1;
        if (const int bytes = ua.compare(ub))
            return bytes;
        return SiteRowBuffer::addedOrder(a.place) < SiteRowBuffer::addedOrder(b.place) ? -1 : 1;
    }

    // A few rows, equal before depth: ordered among themselves, fully.
    void sortSmall(Item* begin, Item* end, size_t depth) {
        std::sort(begin, end, [this, depth](const Item& a, const Item& b) {
            if (a.key != b.key)
                return a.key < b.key;
            return compareFrom(a, b, depth) < 0;
        });
    }

    // Rows equal before depth; their keys are not yet filled.
    void sortLetters(Item* begin, Item* end, size_t depth) {
        if (end - begin < 2)
            return;
        const Bounds bounds = fillKeys(begin, end, depth);
        sortKeys(begin, end, depth, bounds);
    }

    // The keys hold letters depth .. depth+7, between bounds.low and
    // bounds.high.
    void sortKeys(Item* begin, Item* end, size_t depth, Bounds bounds) {
        if (end - begin <= kSmall)
            return sortSmall(begin, end, depth);
        const uint64_t low = bounds.low, high = bounds.high;
        if (low == high) {
            // The same eight letters: the next eight decide, or, when the
            // addresses ended, their bytes.
            if ((low & 0xFF) == 0)
                return tieBreak(begin, end);
            return sortLetters(begin, end, depth + 8);
        }
        // The leading bytes that the smallest and the largest key share, all
        // keys share; the first one they do not is where the rows part.
        const int index = __builtin_clzll(low ^ high) / 8;
        if (end - begin <= scratchItems_)
            return sortWholeKeys(begin, end, depth, index);
        const size_t first = byteOf(low, index), last = byteOf(high, index);
        std::array<uint32_t, 256> count;
        std::fill(count.begin() + first, count.begin() + last + 1, 0);
        for (const Item* it = begin; it != end; ++it)
            ++count[byteOf(it->key, index)];
        // In place, bucket by bucket (an "American flag" pass), noting each
        // bucket's bounds as its items land.
        std::array<Item*, 256> next, stop;
        std::array<Bounds, 256> inBucket;
        Item* at = begin;
        for (size_t b = first; b <= last; ++b) {
            next[b] = at;
            at += count[b];
            stop[b] = at;
            inBucket[b] = Bounds();
        }
        for (size_t b = first; b <= last; ++b)
            while (next[b] != stop[b]) {
                Item moving = *next[b];
                for (uint8_t to = byteOf(moving.key, index); to != b;
                     to = byteOf(moving.key, index)) {
                    inBucket[to].add(moving.key);
                    std::swap(moving, *next[to]++);
                }
                inBucket[b].add(moving.key);
                *next[b]++ = moving;
            }
        Item* from = begin;
        for (size_t b = first; b <= last; ++b) {
            Item* to = from + count[b];
            if (to - from > 1) {
                // An address that ended here ties with the others that did.
                if (b == 0)
                    tieBreak(from, to);
                else
                    sortKeys(from, to, depth, inBucket[b]);
            }
            from = to;
        }
    }

    // The keys agree before byte index. A stable pass per byte that varies,
    // from the last: plain counting passes through a scratch buffer, which
    // move every item once per byte without a branch on the keys.
    void sortWholeKeys(Item* begin, Item* end, size_t depth, int index) {
        const size_t n = size_t(end - begin);
        std::array<std::array<uint32_t, 256>, 8> count;
        for (int i = index; i < 8; ++i)
            count[size_t(i)].fill(0);
        for (const Item* it = begin; it != end; ++it)
            for (int i = index; i < 8; ++i)
                ++count[size_t(i)][byteOf(it->key, i)];
        Item* from = begin;
        Item* to = reinterpret_cast<Item*>(scratch_.data());
        for (int i = 7; i >= index; --i) {
            std::array<uint32_t, 256>& c = count[size_t(i)];
            if (c[byteOf(begin->key, i)] == n)
                continue; // one value for all
            uint32_t sum = 0;
            for (uint32_t& k : c)
                sum += std::exchange(k, sum);
            for (const Item* it = from; it != from + n; ++it)
                to[c[byteOf(it->key, i)]++] = *it;
            std::swap(from, to);
        }
        if (from != begin)
            std::copy(from, from + n, begin);
        sortTies(begin, end, depth);
    }

    // Rows sorted by their keys: those with the same eight letters go on by
    // the next eight, or, when their addresses ended, by their bytes. The
    // next letters of all the tied rows are read in one sweep, so that the
    // reads of many rows, which lie all over the buffer, are under way at
    // once.
    void sortTies(Item* begin, Item* end, size_t depth) {
        struct Run {
            Item* begin;
            Item* end;
            Bounds bounds;
        };
        std::vector<Run> tied;
        for (Item* run = begin; run != end;) {
            Item* next = run + 1;
            while (next != end && next->key == run->key)
                ++next;
            if (next - run > 1) {
                if ((run->key & 0xFF) == 0)
                    tieBreak(run, next);
                else
                    tied.push_back({run, next, {}});
            }
            run = next;
        }
        if (tied.empty())
            return;
        const size_t next = depth + 8;
        Item* const last = tied.back().end;
        for (Run& run : tied)
            for (Item* it = run.begin; it != run.end; ++it) {
                if (last - it > kAhead)
                    rows_.prefetchAt(it[kAhead].place, next);
                it->key = keyOf(rows_.urlAt(it->place), next);
                run.bounds.add(it->key);
            }
        for (const Run& run : tied)
            sortKeys(run.begin, run.end, next, run.bounds);
    }

    // The same letters throughout: the bytes decide, then the rows' order.
    void tieBreak(Item* begin, Item* end) {
        std::sort(begin, end,
                  [this](const Item& a, const Item& b) { return compareFrom(a, b, 0) < 0; });
    }

    const SiteRowBuffer& rows_;
    const std::array<uint8_t, 256>& rank_;
    const ptrdiff_t scratchItems_;
    PageBuffer scratch_;
};

} // namespace

bool AddressOrder::less(std::string_view a, std::string_view b) {
    const auto& rank = ranks();
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const uint8_t ra = rank[uint8_t(a[i])], rb = rank[uint8_t(b[i])];
        if (ra != rb)
            return ra < rb;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

void AddressOrder::sort(SiteRowBuffer& rows) {
    using Place = SiteRowBuffer::Place;
    const size_t n = rows.size();
    if (n < 2)
        return;
    // The items take the places' own pages, twice as many of them: a million
    // rows sort in 16 MB beside their texts, not 24.
    PageBuffer buffer = rows.takePlaces();
    buffer.reserve(n * sizeof(Item), true);
    Place* places = reinterpret_cast<Place*>(buffer.data());
    Item* items = reinterpret_cast<Item*>(buffer.data());
    // From the back, each item is written over places already read.
    for (size_t i = n; i-- > 0;) {
        const Place p = places[i];
        items[i] = {0, p};
    }
    RadixSort(rows, n).run(items, items + n);
    for (size_t i = 0; i < n; ++i) {
        const Place p = items[i].place;
        places[i] = p;
    }
    // What the items took beyond the places is given back when it is much;
    // a smaller list keeps it for the next sort to fill again.
    if (n * sizeof(Place) >= (size_t(4) << 20))
        buffer.shrink(n * sizeof(Place));
    rows.putPlaces(std::move(buffer));
}

} // namespace korvalo
