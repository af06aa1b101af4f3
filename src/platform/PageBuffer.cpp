#include "platform/PageBuffer.h"

#include <new>
#include <sys/mman.h>
#include <utility>

namespace korvalo {

namespace {

constexpr size_t kPage = 4096;

size_t roundUp(size_t bytes) {
    return (bytes + kPage - 1) / kPage * kPage;
}

} // namespace

PageBuffer::~PageBuffer() {
    reset();
}

PageBuffer::PageBuffer(PageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr))
    , capacity_(std::exchange(other.capacity_, 0)) {}

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
    if (this != &other) {
        reset();
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void PageBuffer::reserve(size_t bytes) {
    if (bytes <= capacity_)
        return;
    const size_t size = roundUp(bytes);
    void* p =
        data_ ? ::mremap(data_, capacity_, size, MREMAP_MAYMOVE)
              : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    data_ = static_cast<char*>(p);
    capacity_ = size;
}

void PageBuffer::shrink(size_t bytes) {
    const size_t size = roundUp(bytes);
    if (size == 0)
        return reset();
    if (size < capacity_ && ::mremap(data_, capacity_, size, 0) != MAP_FAILED)
        capacity_ = size;
}

void PageBuffer::reset() {
    if (data_)
        ::munmap(data_, capacity_);
    data_ = nullptr;
    capacity_ = 0;
}

} // namespace korvalo
