#include "search/AddressOrder.h"

#include "data/Cp1256.h"
#include "data/SiteRowBuffer.h"
#include "platform/PageBuffer.h"

#include <algorithm>
#include <array>
#include <cstring>

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
// Three words rather than a 64-bit key and a row, so that an item takes 12
// bytes: a million of them sit beside the rows' own texts.
struct Item {
    uint32_t high;
    uint32_t low;
    uint32_t row;

    uint64_t key() const { return uint64_t(high) << 32 | low; }
    void setKey(uint64_t key) {
        high = uint32_t(key >> 32);
        low = uint32_t(key);
    }
};
static_assert(sizeof(Item) == 12);

class RadixSort {
public:
    RadixSort(const SiteRowBuffer& rows)
        : rows_(rows)
        , rank_(ranks()) {}

    void run(Item* begin, Item* end) { sortLetters(begin, end, 0); }

private:
    static constexpr ptrdiff_t kSmall = 32;
    static constexpr ptrdiff_t kAhead = 8;

    static uint8_t byteOf(uint64_t key, int index) { return uint8_t(key >> (56 - 8 * index)); }

    uint64_t keyOf(std::string_view url, size_t depth) const {
        uint64_t key = 0;
        const size_t n = url.size() > depth ? std::min<size_t>(8, url.size() - depth) : 0;
        for (size_t i = 0; i < n; ++i)
            key = key << 8 | rank_[uint8_t(url[depth + i])];
        return key << (8 * (8 - n));
    }

    void fillKeys(Item* begin, Item* end, size_t depth) {
        // The rows lie all over the buffer once sorted a first time: ask for
        // the addresses a few rows ahead.
        for (Item* it = begin; it != end; ++it) {
            if (end - it > kAhead)
                __builtin_prefetch(rows_.url(it[kAhead].row).data() + depth);
            it->setKey(keyOf(rows_.url(it->row), depth));
        }
    }

    int compareFrom(uint32_t a, uint32_t b, size_t depth) const {
        const std::string_view ua = rows_.url(a), ub = rows_.url(b);
        const size_t n = std::min(ua.size(), ub.size());
        for (size_t i = depth; i < n; ++i) {
            const uint8_t ra = rank_[uint8_t(ua[i])], rb = rank_[uint8_t(ub[i])];
            if (ra != rb)
                return ra < rb ? -1 : 1;
        }
        if (ua.size() != ub.size())
            return ua.size() < ub.size() ? -1 : 1;
        const int bytes = ua.compare(ub);
        return bytes != 0 ? bytes : (a < b ? -1 : 1);
    }

    // A few rows, equal before depth: ordered among themselves, fully.
    void sortSmall(Item* begin, Item* end, size_t depth) {
        std::sort(begin, end, [this, depth](const Item& a, const Item& b) {
            if (a.key() != b.key())
                return a.key() < b.key();
            return compareFrom(a.row, b.row, depth) < 0;
        });
    }

    // Rows equal before depth; their keys are not yet filled.
    void sortLetters(Item* begin, Item* end, size_t depth) {
        if (end - begin < 2)
            return;
        fillKeys(begin, end, depth);
        sortKeys(begin, end, depth);
    }

    // The keys hold letters depth .. depth+7.
    void sortKeys(Item* begin, Item* end, size_t depth) {
        if (end - begin <= kSmall)
            return sortSmall(begin, end, depth);
        // The leading bytes that the smallest and the largest key share, all
        // keys share: they need no pass.
        uint64_t low = begin->key(), high = low;
        for (const Item* it = begin + 1; it != end; ++it) {
            low = std::min(low, it->key());
            high = std::max(high, it->key());
        }
        if (low == high) {
            // The same eight letters: the next eight decide, or, when the
            // addresses ended, their bytes.
            if ((low & 0xFF) == 0)
                return tieBreak(begin, end);
            return sortLetters(begin, end, depth + 8);
        }
        const int index = __builtin_clzll(low ^ high) / 8;
        std::array<size_t, 256> count{};
        for (const Item* it = begin; it != end; ++it)
            ++count[byteOf(it->key(), index)];
        // In place, bucket by bucket (an "American flag" pass).
        std::array<Item*, 256> next, stop;
        Item* at = begin;
        for (size_t b = 0; b < 256; ++b) {
            next[b] = at;
            at += count[b];
            stop[b] = at;
        }
        for (size_t b = 0; b < 256; ++b)
            while (next[b] != stop[b]) {
                Item moving = *next[b];
                for (uint8_t to = byteOf(moving.key(), index); to != b;
                     to = byteOf(moving.key(), index))
                    std::swap(moving, *next[to]++);
                *next[b]++ = moving;
            }
        Item* from = begin;
        for (size_t b = 0; b < 256; ++b) {
            Item* to = from + count[b];
            if (to - from > 1) {
                // An address that ended here ties with the others that did.
                if (b == 0)
                    tieBreak(from, to);
                else
                    sortKeys(from, to, depth);
            }
            from = to;
        }
    }

    // The same letters throughout: the bytes decide, then the rows' order.
    void tieBreak(Item* begin, Item* end) {
        std::sort(begin, end, [this](const Item& a, const Item& b) {
            const std::string_view ua = rows_.url(a.row), ub = rows_.url(b.row);
            return ua != ub ? ua < ub : a.row < b.row;
        });
    }

    const SiteRowBuffer& rows_;
    const std::array<uint8_t, 256>& rank_;
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

std::vector<uint32_t> AddressOrder::sort(const SiteRowBuffer& rows) {
    const size_t n = rows.size();
    std::vector<uint32_t> order(n);
    {
        PageBuffer buffer;
        buffer.reserve(n * sizeof(Item));
        Item* items = reinterpret_cast<Item*>(buffer.data());
        for (size_t i = 0; i < n; ++i)
            items[i].row = static_cast<uint32_t>(i);
        RadixSort(rows).run(items, items + n);
        for (size_t i = 0; i < n; ++i)
            order[i] = items[i].row;
    }
    return order;
}

} // namespace korvalo
