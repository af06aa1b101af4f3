#include "data/SiteRowBuffer.h"

#include "data/Records.h"
#include "data/SiteListing.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvalo {

namespace {

constexpr size_t kUrlOffset = 0;
constexpr size_t kTitleOffset = 84;
constexpr size_t kLanguageOffset = 159;
// A text is unshifted in whole 16-byte pieces: up to this much is written
// past its end (and read past its field, still inside the record).
constexpr size_t kSlack = 16;

// Writes the text of a field stored shifted once, up to its terminator (or
// the whole field), to out; its length.
size_t unshiftField(char* out, const uint8_t* field, size_t width) {
#if defined(__SSE2__)
    const __m128i shift = _mm_set1_epi8(static_cast<char>(kShift));
    for (size_t at = 0; at < width; at += 16) {
        const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field + at));
        const __m128i plain = _mm_sub_epi8(stored, shift);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), plain);
        const int end = _mm_movemask_epi8(_mm_cmpeq_epi8(plain, _mm_setzero_si128()));
        if (end)
            return std::min(width, at + size_t(__builtin_ctz(unsigned(end))));
    }
    return width;
#else
    for (size_t i = 0; i < width; ++i) {
        out[i] = static_cast<char>(uint8_t(field[i] - kShift));
        if (out[i] == 0)
            return i;
    }
    return width;
#endif
}

} // namespace

SiteRowBuffer::SiteRowBuffer(const SiteRowBuffer& other)
    : names_(other.names_) {
    if (other.textSize_) {
        grow(other.textSize_);
        std::memcpy(text_.data(), other.text_.data(), other.textSize_);
        textSize_ = other.textSize_;
    }
    if (other.count_) {
        spans_.reserve(other.count_ * sizeof(Span));
        std::memcpy(spans_.data(), other.spans_.data(), other.count_ * sizeof(Span));
        count_ = other.count_;
    }
}

SiteRowBuffer::SiteRowBuffer(SiteRowBuffer&& other) noexcept
    : text_(std::move(other.text_))
    , textSize_(std::exchange(other.textSize_, 0))
    , spans_(std::move(other.spans_))
    , count_(std::exchange(other.count_, 0))
    , names_(std::move(other.names_)) {}

SiteRowBuffer& SiteRowBuffer::operator=(SiteRowBuffer&& other) noexcept {
    if (this != &other) {
        text_ = std::move(other.text_);
        textSize_ = std::exchange(other.textSize_, 0);
        spans_ = std::move(other.spans_);
        count_ = std::exchange(other.count_, 0);
        names_ = std::move(other.names_);
    }
    return *this;
}

SiteRowBuffer& SiteRowBuffer::operator=(const SiteRowBuffer& other) {
    if (this != &other)
        *this = SiteRowBuffer(other);
    return *this;
}

char* SiteRowBuffer::grow(size_t bytes) {
    const size_t needed = textSize_ + bytes + kSlack;
    if (needed > text_.capacity())
        text_.reserve(std::max(needed, text_.capacity() * 2));
    return text_.data() + textSize_;
}

void SiteRowBuffer::pushSpan(size_t offset, size_t url, size_t language, size_t title) {
    if ((count_ + 1) * sizeof(Span) > spans_.capacity())
        spans_.reserve(std::max<size_t>(4096, spans_.capacity() * 2));
    spans()[count_++] = {offset, url, language, title};
}

void SiteRowBuffer::reserve(size_t rows) {
    // The most one row can take: its number and three texts that fill their
    // arrays without a terminator. Only what the rows write is ever touched,
    // so the rest stays address space.
    grow(rows * (kNumberBytes + kUrlWidth + kLanguageWidth + kTitleWidth));
    spans_.reserve((count_ + rows) * sizeof(Span));
}

void SiteRowBuffer::appendStored(const uint8_t* record, uint32_t number, bool withLanguage) {
    char* const start = grow(kNumberBytes + kUrlWidth + kLanguageWidth + kTitleWidth);
    std::memcpy(start, &number, kNumberBytes);
    char* out = start + kNumberBytes;
    // Each text is written whole and the next one over its tail.
    const size_t urlLength = unshiftField(out, record + kUrlOffset, kUrlWidth);
    out += urlLength;
    size_t languageLength = 0;
    if (withLanguage) {
        // The language's first byte is stored shifted twice.
        uint8_t language[16];
        std::memcpy(language, record + kLanguageOffset, kLanguageWidth);
        language[0] = static_cast<uint8_t>(language[0] - kShift);
        for (size_t i = 0; i < kLanguageWidth; ++i) {
            out[i] = static_cast<char>(uint8_t(language[i] - kShift));
            if (out[i] == 0)
                break;
            ++languageLength;
        }
        out += languageLength;
    }
    const size_t titleLength = unshiftField(out, record + kTitleOffset, kTitleWidth);
    out += titleLength;
    const size_t at = textSize_;
    textSize_ = size_t(out - text_.data());
    pushSpan(at, urlLength, languageLength, titleLength);
}

void SiteRowBuffer::append(std::string_view url, std::string_view language, std::string_view title,
                           uint32_t number) {
    // Texts from elsewhere than a record are cut to what a record can hold.
    url = url.substr(0, kUrlWidth);
    language = language.substr(0, kLanguageWidth);
    title = title.substr(0, kTitleWidth);
    char* out = grow(kNumberBytes + url.size() + language.size() + title.size());
    std::memcpy(out, &number, kNumberBytes);
    out = std::copy(url.begin(), url.end(), out + kNumberBytes);
    out = std::copy(language.begin(), language.end(), out);
    out = std::copy(title.begin(), title.end(), out);
    const size_t at = textSize_;
    textSize_ = size_t(out - text_.data());
    pushSpan(at, url.size(), language.size(), title.size());
}

void SiteRowBuffer::append(const SiteRow& row) {
    append(row.url, row.language, row.title);
}

std::string_view SiteRowBuffer::language(size_t row) const {
    const Span& s = spans()[row];
    return {textOf(row) + s.urlLength, s.languageLength};
}

std::string_view SiteRowBuffer::title(size_t row) const {
    const Span& s = spans()[row];
    return {textOf(row) + s.urlLength + s.languageLength, s.titleLength};
}

uint32_t SiteRowBuffer::number(size_t row) const {
    uint32_t n;
    std::memcpy(&n, text_.data() + spans()[row].offset, kNumberBytes);
    return n;
}

std::string_view SiteRowBuffer::categoryName(size_t row) const {
    const uint32_t n = number(row);
    return n < names_.size() ? std::string_view(names_[n]) : std::string_view();
}

void SiteRowBuffer::erase(size_t row) {
    std::memmove(spans() + row, spans() + row + 1, (count_ - row - 1) * sizeof(Span));
    --count_;
}

void SiteRowBuffer::reorder(const std::vector<uint32_t>& order) {
    PageBuffer sorted;
    sorted.reserve(count_ * sizeof(Span));
    Span* out = reinterpret_cast<Span*>(sorted.data());
    for (uint32_t from : order)
        *out++ = spans()[from];
    spans_ = std::move(sorted);
}

void SiteRowBuffer::clear() {
    // Gives the memory back: the last list may have held a million rows.
    text_.reset();
    spans_.reset();
    textSize_ = count_ = 0;
    names_.clear();
}

} // namespace korvalo
