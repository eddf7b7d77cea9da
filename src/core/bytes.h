// Byte strings in code page 932 and the few byte-level helpers every subsystem needs.
#pragma once

#include <cstdint>
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
