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
// categoryNames()).
class SiteRowBuffer {
public:
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
    std::string_view url(size_t row) const {
        const Span& s = spans()[row];
        return {text_.data() + s.offset + kNumberBytes, s.urlLength};
    }
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
    // Puts the rows in the given order: order[i] is the row that becomes row
    // i, and every row appears in it once.
    void reorder(const std::vector<uint32_t>& order);
    void clear();

    SiteRowBuffer() = default;
    SiteRowBuffer(SiteRowBuffer&& other) noexcept;
    SiteRowBuffer& operator=(SiteRowBuffer&& other) noexcept;
    SiteRowBuffer(const SiteRowBuffer& other);
    SiteRowBuffer& operator=(const SiteRowBuffer& other);

private:
    static constexpr size_t kNumberBytes = sizeof(uint32_t);

    // Room for bytes more, and the slack a whole-field write may run into.
    char* grow(size_t bytes);
    void pushSpan(size_t offset, size_t url, size_t language, size_t title);

    // Where a row's texts lie: the offset of its number in text_, then the
    // lengths of the address, the language and the description, which
    // follow the number in that order.
    struct Span {
        uint64_t offset : 40;
        uint64_t urlLength : 7;
        uint64_t languageLength : 4;
        uint64_t titleLength : 7;
    };
    static_assert(sizeof(Span) == 8);

    const char* textOf(size_t row) const { return url(row).data(); }
    const Span* spans() const { return reinterpret_cast<const Span*>(spans_.data()); }
    Span* spans() { return reinterpret_cast<Span*>(spans_.data()); }

    // Not vectors: their growth would copy what they hold and zero what the
    // rows are about to write.
    PageBuffer text_;
    size_t textSize_ = 0;
    PageBuffer spans_;
    size_t count_ = 0;
    std::vector<std::string> names_;
};

} // namespace korvalo
