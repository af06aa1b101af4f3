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
        places_.reserve(other.count_ * sizeof(Place));
        std::memcpy(places_.data(), other.places_.data(), other.count_ * sizeof(Place));
        count_ = other.count_;
    }
}

SiteRowBuffer::SiteRowBuffer(SiteRowBuffer&& other) noexcept
    : text_(std::move(other.text_))
    , textSize_(std::exchange(other.textSize_, 0))
    , places_(std::move(other.places_))
    , count_(std::exchange(other.count_, 0))
    , names_(std::move(other.names_)) {}

SiteRowBuffer& SiteRowBuffer::operator=(SiteRowBuffer&& other) noexcept {
    if (this != &other) {
        text_ = std::move(other.text_);
        textSize_ = std::exchange(other.textSize_, 0);
        places_ = std::move(other.places_);
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

char* SiteRowBuffer::grow(size_t bytes, bool huge) {
    const size_t needed = textSize_ + bytes + kSlack;
    if (needed > text_.capacity())
        text_.reserve(huge ? needed : std::max(needed, text_.capacity() * 2), huge);
    return text_.data() + textSize_;
}

size_t SiteRowBuffer::putNumber(uint32_t number) {
    char* out = text_.data() + textSize_;
    if (number < 0xFF) {
        *out = static_cast<char>(number);
        return 1;
    }
    out[0] = static_cast<char>(0xFF);
    std::memcpy(out + 1, &number, sizeof number);
    return 5;
}

void SiteRowBuffer::pushPlace(size_t offset, size_t numberLength, size_t url, size_t language,
                              size_t title) {
    if ((count_ + 1) * sizeof(Place) > places_.capacity())
        places_.reserve(std::max<size_t>(4096, places_.capacity() * 2));
    places()[count_++] = uint64_t(offset) | uint64_t(url) << kUrlShift |
                         uint64_t(language) << kLanguageShift | uint64_t(title) << kTitleShift |
                         uint64_t(numberLength == 5) << kLongShift;
}

void SiteRowBuffer::reserve(size_t rows) {
    // The most one row can take: a long number and three texts that fill
    // their arrays without a terminator. Only what the rows write is ever
    // touched, so the rest stays address space.
    grow(rows * (5 + kUrlWidth + kLanguageWidth + kTitleWidth), true);
    places_.reserve((count_ + rows) * sizeof(Place), true);
}

void SiteRowBuffer::appendStored(const uint8_t* record, uint32_t number, bool withLanguage) {
    grow(5 + kUrlWidth + kLanguageWidth + kTitleWidth);
    const size_t at = textSize_;
    const size_t numberLength = putNumber(number);
    char* out = text_.data() + at + numberLength;
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
    textSize_ = size_t(out - text_.data());
    pushPlace(at, numberLength, urlLength, languageLength, titleLength);
}

void SiteRowBuffer::append(std::string_view url, std::string_view language, std::string_view title,
                           uint32_t number) {
    // Texts from elsewhere than a record are cut to what a record can hold.
    url = url.substr(0, kUrlWidth);
    language = language.substr(0, kLanguageWidth);
    title = title.substr(0, kTitleWidth);
    grow(5 + url.size() + language.size() + title.size());
    const size_t at = textSize_;
    const size_t numberLength = putNumber(number);
    char* out = text_.data() + at + numberLength;
    out = std::copy(url.begin(), url.end(), out);
    out = std::copy(language.begin(), language.end(), out);
    out = std::copy(title.begin(), title.end(), out);
    textSize_ = size_t(out - text_.data());
    pushPlace(at, numberLength, url.size(), language.size(), title.size());
}

void SiteRowBuffer::append(const SiteRow& row) {
    append(row.url, row.language, row.title);
}

std::string_view SiteRowBuffer::language(size_t row) const {
    const Place p = places()[row];
    return {textsOf(row) + lengthOf(p, kUrlShift), lengthOf(p, kLanguageShift)};
}

std::string_view SiteRowBuffer::title(size_t row) const {
    const Place p = places()[row];
    return {textsOf(row) + lengthOf(p, kUrlShift) + lengthOf(p, kLanguageShift),
            lengthOf(p, kTitleShift)};
}

uint32_t SiteRowBuffer::number(size_t row) const {
    const Place p = places()[row];
    const char* at = text_.data() + offsetOf(p);
    if (numberBytes(p) == 1)
        return uint8_t(*at);
    uint32_t n;
    std::memcpy(&n, at + 1, sizeof n);
    return n;
}

std::string_view SiteRowBuffer::categoryName(size_t row) const {
    const uint32_t n = number(row);
    return n < names_.size() ? std::string_view(names_[n]) : std::string_view();
}

void SiteRowBuffer::erase(size_t row) {
    std::memmove(places() + row, places() + row + 1, (count_ - row - 1) * sizeof(Place));
    --count_;
}

void SiteRowBuffer::clear() {
    // Gives the memory back: the last list may have held a million rows.
    text_.reset();
    places_.reset();
    textSize_ = count_ = 0;
    names_.clear();
}

} // namespace korvalo
