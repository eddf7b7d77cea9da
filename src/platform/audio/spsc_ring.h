// A fixed-size lock-free ring for one writer thread and one reader thread.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

namespace yv::audio {

template <class T, size_t N>
class SpscRing {
    static_assert(N >= 2 && (N & (N - 1)) == 0, "a power of two");

public:
    // Writer. False when the ring is full.
    bool push(const T& v) {
        const size_t w = write_.load(std::memory_order_relaxed);
        if (w - read_.load(std::memory_order_acquire) >= N) return false;
        items_[w & (N - 1)] = v;
        write_.store(w + 1, std::memory_order_release);
        return true;
    }
    // Reader. False when the ring is empty.
    bool pop(T& v) {
        const size_t r = read_.load(std::memory_order_relaxed);
        if (r == write_.load(std::memory_order_acquire)) return false;
        v = items_[r & (N - 1)];
        read_.store(r + 1, std::memory_order_release);
        return true;
    }
    bool full() const { return write_.load() - read_.load() >= N; }
    bool empty() const { return write_.load() == read_.load(); }

private:
    std::array<T, N> items_{};
    std::atomic<size_t> write_{0};
    std::atomic<size_t> read_{0};
};

}  // namespace yv::audio
