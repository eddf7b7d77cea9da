// The step's one look at what is in progress: a word with a bit for each thing the step advances
// on every pass, kept by the flags of those things as they are stored.
#pragma once

#include <atomic>
#include <cstdint>

namespace yv {

// Zero while nothing is in progress: the step then passes over blanks at once and runs
// statements back to back; any bit sends it through the advance of each thing, in the order
// the step gives them.
//
// Atomic because one flag crosses threads: the close sequence (window thread) clears the click
// wait while a step may run. Every other bit is set and cleared by the interpreter thread (or by
// start-up before it runs), with a plain load and store: a locked read-modify-write on every
// wait a loop makes would cost it a tenth of its speed. The click wait's flag changes its bit
// with a read-modify-write from whichever thread. So the one race is an interpreter store made
// just as the close clears the click wait, which may set that bit again: the mask then says
// more than is in progress, and the step, finding no click wait, clears it (src/threads.h).
class InProgress {
public:
    enum Bit : uint32_t {
        kVolumeFade = 1u << 0,   // Media::volumeFading
        kCdWait = 1u << 1,       // Media::cdWait
        kEffect = 1u << 2,       // Screens::effectOn
        kCollecting = 1u << 3,   // Choices::collecting
        kChoices = 1u << 4,      // Choices::ready
        kTrap = 1u << 5,         // Choices::trapButton armed (1 or 2)
        kPrinting = 1u << 6,     // TextState::printing
        kFade = 1u << 7,         // Screens::fadeOn
        kWipe = 1u << 8,         // Screens::wipeOn
        kTransfade = 1u << 9,    // Screens::transfadeOn
        kMosaicfade = 1u << 10,  // Screens::mosaicfadeOn
        kWait = 1u << 11,        // WaitGate::waitMs
        kClickWait = 1u << 12,   // Interp::clickWaitMode
    };

    uint32_t bits() const { return bits_.load(std::memory_order_relaxed); }
    bool has(Bit b) const { return (bits() & b) != 0; }

    // Interpreter thread only. A store that changes nothing stores nothing.
    void mark(Bit b, bool on) {
        const uint32_t now = bits_.load(std::memory_order_relaxed);
        if (((now & b) != 0) == on) return;
        bits_.store(on ? now | b : now & ~static_cast<uint32_t>(b), std::memory_order_relaxed);
    }
    // Any thread.
    void markShared(Bit b, bool on) {
        if (on)
            bits_.fetch_or(b, std::memory_order_relaxed);
        else
            bits_.fetch_and(~static_cast<uint32_t>(b), std::memory_order_relaxed);
    }

private:
    std::atomic<uint32_t> bits_{0};
};

template <class T>
constexpr bool isNonZero(T v) {
    return v != T{};
}

// A flag of something in progress: reads as its value, and a store keeps its bit of the mask
// (set while `On(value)`). Stored and read by the interpreter thread alone (and start-up).
template <class T, InProgress::Bit B, bool (*On)(T) = &isNonZero<T>>
class ProgressFlag {
public:
    explicit ProgressFlag(InProgress& mask) : mask_(mask) {}
    ProgressFlag(const ProgressFlag&) = delete;
    ProgressFlag& operator=(const ProgressFlag&) = delete;

    operator T() const { return v_; }
    // Gives the value back, so that stores chain as the plain flags' did.
    T operator=(T v) {
        v_ = v;
        mask_.mark(B, On(v));
        return v;
    }

private:
    T v_{};
    InProgress& mask_;
};

// The same for a flag that another thread stores too (the click wait, which the close clears):
// the value is an atomic of its own, and its bit changes by a read-modify-write.
template <class T, InProgress::Bit B>
class AtomicProgressFlag {
public:
    explicit AtomicProgressFlag(InProgress& mask) : mask_(mask) {}
    AtomicProgressFlag(const AtomicProgressFlag&) = delete;
    AtomicProgressFlag& operator=(const AtomicProgressFlag&) = delete;

    T load(std::memory_order order = std::memory_order_seq_cst) const { return v_.load(order); }
    operator T() const { return v_.load(); }
    // The value first: the interpreter, seeing the bit clear, never needs it.
    T operator=(T v) {
        v_.store(v);
        mask_.markShared(B, v != T{});
        return v;
    }

private:
    std::atomic<T> v_{};
    InProgress& mask_;
};

}  // namespace yv
