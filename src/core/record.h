// The record text of the replay log and the saves: "@id," then each field and a comma. The
// players build their state records with it too, so it lives below everything.
#pragma once

#include <cstdint>
#include <string>

#include "core/bytes.h"

namespace yv {

namespace record {

// A comma ends a field, so a text holding one would shift every later field. Text fields are
// written with the comma as ESC 'c' and ESC itself as ESC 'e'; texts without either are written
// unchanged, and a file that never used the escape reads exactly as before.
constexpr char kEscape = '\x1b';
void appendText(Bytes& out, BytesView text);
Bytes decodeText(BytesView field);

inline void appendField(Bytes& out, int32_t v) {
    out += std::to_string(v);
    out += ',';
}
inline void appendField(Bytes& out, BytesView s) {
    appendText(out, s);
    out += ',';
}
inline void appendField(Bytes& out, const char* s) { appendField(out, BytesView(s)); }
inline void appendField(Bytes& out, const Bytes& s) { appendField(out, BytesView(s)); }

template <class... Fields>
Bytes format(int32_t id, const Fields&... fields) {
    Bytes out = "@";
    appendField(out, id);
    (appendField(out, fields), ...);
    return out;
}

}  // namespace record

}  // namespace yv
