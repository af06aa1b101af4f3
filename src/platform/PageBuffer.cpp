#include "platform/PageBuffer.h"

#include <array>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace korvalo {

namespace {

constexpr size_t kPage = 4096;
constexpr size_t kHugePage = size_t(2) << 20;

size_t roundUp(size_t bytes, size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// Mappings given back, kept for the next list: a search or a listing that
// follows another then writes into pages that are already there instead of
// faulting in and zeroing fresh ones. Each keeps at most kKeptResident bytes
// in memory; the rest is handed back to the system.
class PagePool {
public:
    // Never destroyed: a buffer may be given back while the program ends.
    static PagePool& instance() {
        static PagePool* const pool = new PagePool;
        return *pool;
    }

    // The smallest kept mapping of at least bytes, or nullptr.
    char* take(size_t bytes, size_t& capacity) {
        const std::lock_guard lock(mutex_);
        Slot* best = nullptr;
        for (Slot& slot : slots_)
            if (slot.data && slot.capacity >= bytes && (!best || slot.capacity < best->capacity))
                best = &slot;
        if (!best)
            return nullptr;
        capacity = std::exchange(best->capacity, 0);
        return std::exchange(best->data, nullptr);
    }

    void give(char* data, size_t capacity) {
        if (capacity > kKeptResident)
            ::madvise(data + kKeptResident, capacity - kKeptResident, MADV_DONTNEED);
        Slot dropped{data, capacity};
        {
            const std::lock_guard lock(mutex_);
            // A free slot takes it; with none free, it takes the place of the
            // smallest mapping kept, when that one is smaller.
            Slot* room = &slots_[0];
            for (Slot& slot : slots_) {
                if (!slot.data) {
                    room = &slot;
                    break;
                }
                if (slot.capacity < room->capacity)
                    room = &slot;
            }
            if (!room->data || room->capacity < capacity)
                std::swap(dropped, *room);
        }
        if (dropped.data)
            ::munmap(dropped.data, dropped.capacity);
    }

private:
    static constexpr size_t kSlots = 6;
    static constexpr size_t kKeptResident = size_t(16) << 20;
    struct Slot {
        char* data = nullptr;
        size_t capacity = 0;
    };
    std::mutex mutex_;
    std::array<Slot, kSlots> slots_{};
};

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

void PageBuffer::reserve(size_t bytes, bool huge) {
    if (bytes <= capacity_)
        return;
    // A smaller run would waste most of its one huge page.
    huge = huge && bytes >= kHugePage / 2;
    const size_t size = roundUp(bytes, huge ? kHugePage : kPage);
    if (!data_ && (data_ = PagePool::instance().take(size, capacity_)))
        return;
    void* p =
        data_ ? ::mremap(data_, capacity_, size, MREMAP_MAYMOVE)
              : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    if (huge)
        ::madvise(p, size, MADV_HUGEPAGE); // only advice: without it, plain pages
    data_ = static_cast<char*>(p);
    capacity_ = size;
}

void PageBuffer::shrink(size_t bytes) {
    // The run keeps its size, so that a later one may fill it again without
    // moving.
    const size_t keep = roundUp(bytes, kPage);
    if (keep < capacity_)
        ::madvise(data_ + keep, capacity_ - keep, MADV_DONTNEED);
}

void PageBuffer::reset() {
    if (data_)
        PagePool::instance().give(data_, capacity_);
    data_ = nullptr;
    capacity_ = 0;
}

} // namespace korvalo
