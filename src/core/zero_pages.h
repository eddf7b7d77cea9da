// An allocator for large pictures that starts them black without writing a byte.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <vector>
#include <cstdint>
#include <utility>

namespace yv {

// calloc hands large blocks over as fresh zero pages from the system, which cost no memory until
// written; a vector that writes the zeros itself makes every screen a game never draws on count.
// Value-initialising elements is left to calloc (construct() without arguments does nothing), so
// only trivial types belong here, and a buffer grown by resize() within its capacity keeps the
// bytes it had there: make a fresh one instead.
template <typename T>
struct ZeroPagesAllocator {
    static_assert(std::is_trivial_v<T>);
    using value_type = T;
    ZeroPagesAllocator() = default;
    template <typename U>
    ZeroPagesAllocator(const ZeroPagesAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        void* p = std::calloc(n ? n : 1, sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) noexcept { std::free(p); }
    template <typename U>
    void construct(U*) noexcept {}  // already zero
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const ZeroPagesAllocator<U>&) const noexcept { return true; }
};

// Picture bytes that start black for free.
using PixelBytes = std::vector<uint8_t, ZeroPagesAllocator<uint8_t>>;

// Bytes are bytes, whichever allocator holds them.
inline bool operator==(const PixelBytes& a, const std::vector<uint8_t>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace yv
