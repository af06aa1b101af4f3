#pragma once

#include "platform/PageBuffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvalo {

struct SiteRow;

// The rows of a site list as their Windows-1256 texts, all in one buffer: a
// list of a million sites costs its bytes and a word per row, and a text
// becomes a QString only when a window paints it. Each row also carries a
// number that its filler gives a meaning to (the search: an index into
// categoryNames()); numbers below 255 take one byte. Every text may be read
// up to 16 bytes past its end (what lies there means nothing), so that a
// reader can take whole words.
class SiteRowBuffer {
public:
    SiteRowBuffer() = default;
    SiteRowBuffer(SiteRowBuffer&& other) noexcept;
    SiteRowBuffer& operator=(SiteRowBuffer&& other) noexcept;
    SiteRowBuffer(const SiteRowBuffer& other);
    SiteRowBuffer& operator=(const SiteRowBuffer& other);

    // Makes room for rows rows of texts of the stored widths, so that filling
    // moves nothing; what is never written costs only address space.
    void reserve(size_t rows);

    // Appends the address, language and description of a stored site record,
    // each unshifted and up to its terminator.
    void appendStored(const uint8_t* record, uint32_t number = 0, bool withLanguage = true);
    void append(std::string_view url, std::string_view language, std::string_view title,
                uint32_t number = 0);
    void append(const SiteRow& row);

    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    std::string_view url(size_t row) const { return urlAt(places()[row]); }
    std::string_view language(size_t row) const;
    std::string_view title(size_t row) const;
    uint32_t number(size_t row) const;

    // Names the rows' numbers stand for; categoryName() is empty for a number
    // without a name.
    void setCategoryNames(std::vector<std::string> names) { names_ = std::move(names); }
    const std::vector<std::string>& categoryNames() const { return names_; }
    std::string_view categoryName(size_t row) const;

    // Removes one row; its texts stay in the buffer until it is cleared.
    void erase(size_t row);
    void clear();

    // For a sort of the rows: a row's place is one word that tells where its
    // texts lie; places order the rows as they were added. takePlaces()
    // hands out the size() places, leaving the rows without any until
    // putPlaces() gives them back (in room for at least size()), reordered.
    using Place = uint64_t;
    PageBuffer takePlaces() { return std::move(places_); }
    void putPlaces(PageBuffer places) { places_ = std::move(places); }
    std::string_view urlAt(Place place) const {
        return {text_.data() + offsetOf(place) + numberBytes(place), lengthOf(place, kUrlShift)};
    }
    // Asks for the address's bytes from at on.
    void prefetchAt(Place place, size_t at = 0) const {
        __builtin_prefetch(urlAt(place).data() + at);
    }
    // For a pass over rows that lie in another order than they were added.
    void prefetchRow(size_t row) const { prefetchAt(places()[row]); }
    static uint64_t addedOrder(Place place) { return offsetOf(place); }

private:
    // A place: the offset of the row's number in text_ (40 bits), then the
    // lengths of the address, the language and the description, which
    // follow the number in that order, and whether the number takes five
    // bytes (a marker byte and the number) instead of one.
    static constexpr int kUrlShift = 40, kLanguageShift = 47, kTitleShift = 51, kLongShift = 58;
    static uint64_t offsetOf(Place p) { return p & ((uint64_t(1) << 40) - 1); }
    static size_t lengthOf(Place p, int shift) {
        return size_t(p >> shift) & (shift == kLanguageShift ? 0xF : 0x7F);
    }
    static size_t numberBytes(Place p) { return (p >> kLongShift) & 1 ? 5 : 1; }

    // Room for bytes more, and the slack a whole-field write may run into;
    // huge: exactly that much, in huge pages (see PageBuffer::reserve).
    char* grow(size_t bytes, bool huge = false);
    // Writes the number at the end of the texts; its length.
    size_t putNumber(uint32_t number);
    void pushPlace(size_t offset, size_t numberLength, size_t url, size_t language, size_t title);

    const Place* places() const { return reinterpret_cast<const Place*>(places_.data()); }
    Place* places() { return reinterpret_cast<Place*>(places_.data()); }
    const char* textsOf(size_t row) const { return url(row).data(); }

    // Not vectors: their growth would copy what they hold and zero what the
    // rows are about to write.
    PageBuffer text_;
    size_t textSize_ = 0;
    PageBuffer places_;
    size_t count_ = 0;
    std::vector<std::string> names_;
};

} // namespace korvalo
