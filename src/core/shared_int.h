// An int32_t field that two threads share inside a record that is still copied as a whole.
#pragma once

#include <atomic>
#include <cstdint>

namespace yv {

// Reads and writes like the plain int32_t it replaces, each one a sequentially consistent
// atomic load or store; a copy takes the value the source holds at that moment. For a setting
// one thread may change while another reads it (Config::full, Config::fullBits).
class SharedInt {
public:
    SharedInt(int32_t v = 0) : v_(v) {}  // NOLINT: stands in for a plain int32_t
    SharedInt(const SharedInt& o) : v_(o.load()) {}
    SharedInt& operator=(const SharedInt& o) {
        v_.store(o.load());
        return *this;
    }
    SharedInt& operator=(int32_t v) {
        v_.store(v);
        return *this;
    }
    operator int32_t() const { return v_.load(); }  // NOLINT: as the plain field read
    int32_t load() const { return v_.load(); }
    void store(int32_t v) { v_.store(v); }

private:
    std::atomic<int32_t> v_;
};

}  // namespace yv
