// Writing text fields of records and reading them back.
#include "core/record.h"

namespace yv {

namespace record {

void appendText(Bytes& out, BytesView text) {
    // A comma or ESC byte is always itself in CP932: neither is ever the second byte of a
    // double-byte character, so the bytes can be looked at one by one.
    if (text.find_first_of(",\x1b") == BytesView::npos) {
        out.append(text);
        return;
    }
    for (char c : text) {
        if (c == ',') {
            out += kEscape;
            out += 'c';
        } else if (c == kEscape) {
            out += kEscape;
            out += 'e';
        } else {
            out += c;
        }
    }
}

Bytes decodeText(BytesView field) {
    if (field.find(kEscape) == BytesView::npos) return Bytes(field);
    Bytes out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == kEscape && i + 1 < field.size() && (field[i + 1] == 'c' || field[i + 1] == 'e')) {
            out += field[i + 1] == 'c' ? ',' : kEscape;
            ++i;
        } else {
            out += c;  // an ESC this writer did not make stays as it is
        }
    }
    return out;
}

}  // namespace record

}  // namespace yv
