// Byte strings in code page 932 and the few byte-level helpers every subsystem needs.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace yv {

// Script text, variables, file names and messages stay in code page 932 exactly as stored.
using Bytes = std::string;
using BytesView = std::string_view;

// Lead bytes of a CP932 double-byte character (81-9F, E0-FC).
inline bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether two n-byte strings agree in their first and their last sizeof(Word) bytes (which
// overlap below 2 * sizeof(Word)); n is at least sizeof(Word).
template <typename Word>
[[gnu::always_inline]] inline bool sameEnds(const char* x, const char* y, size_t n) {
    Word x0, x1, y0, y1;
    std::memcpy(&x0, x, sizeof(Word));
    std::memcpy(&y0, y, sizeof(Word));
    std::memcpy(&x1, x + n - sizeof(Word), sizeof(Word));
    std::memcpy(&y1, y + n - sizeof(Word), sizeof(Word));
    return ((x0 ^ y0) | (x1 ^ y1)) == 0;
}

// Equality of two short byte strings (names, labels) without a library call: for the few bytes
// they hold, the call costs more than the comparison.
[[gnu::always_inline]] inline bool sameBytes(BytesView a, BytesView b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    if (n > 16) return std::memcmp(a.data(), b.data(), n) == 0;
    // Up to sixteen bytes: two overlapping loads of eight or four bytes a side.
    const char* x = a.data();
    const char* y = b.data();
    if (n >= 8) return sameEnds<uint64_t>(x, y, n);
    if (n >= 4) return sameEnds<uint32_t>(x, y, n);
    if (n == 0) return true;
    // One to three bytes: the first, the middle and the last cover them all.
    return ((x[0] ^ y[0]) | (x[n / 2] ^ y[n / 2]) | (x[n - 1] ^ y[n - 1])) == 0;
}

// Folds single-byte letters only; second bytes of double-byte characters are left alone.
Bytes lowerAscii(BytesView s);

// Case-insensitive equality that steps over double-byte characters (their bytes compare exactly).
bool equalsNoCaseMb(BytesView a, BytesView b);

// Leading optionally-signed decimal number as the C library's atoi reads it (0 when none);
// saturates instead of overflowing.
int32_t leadingInt(BytesView s);

// Decimal text of a value ("%d").
Bytes decimal(int64_t v);

}  // namespace yv
