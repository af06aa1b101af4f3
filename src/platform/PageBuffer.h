#pragma once

#include <cstddef>

namespace korvalo {

// A growable run of bytes in pages of its own, for lists as large as a whole
// site file: growing moves pages instead of copying bytes, and what is
// reserved but never written costs only address space. A run given back is
// kept for the next one (its first 16 MB stay in memory), so its bytes are
// whatever the last user left there, not zeros.
class PageBuffer {
public:
    PageBuffer() = default;
    ~PageBuffer();
    PageBuffer(PageBuffer&& other) noexcept;
    PageBuffer& operator=(PageBuffer&& other) noexcept;
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;

    char* data() const { return data_; }
    size_t capacity() const { return capacity_; }

    // Room for at least bytes, keeping what the run holds; throws
    // std::bad_alloc when the system has no more. huge: in huge pages where
    // the system offers them, for a run of a megabyte or more that is about
    // to be filled: a first touch then costs one fault per 2 MB instead of
    // one per 4 KB, which on some virtual machines is most of the time a
    // million-row list takes to fill; the last page may be mostly unused.
    void reserve(size_t bytes, bool huge = false);
    // Gives back the pages past the first bytes.
    void shrink(size_t bytes);
    // Gives the run back, for the next buffer to reuse.
    void reset();

private:
    char* data_ = nullptr;
    size_t capacity_ = 0;
};

} // namespace korvalo
