// Writing text fields and reading records back.
#include "save/replay_log.h"

namespace yv {

namespace save::record {

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

}  // namespace save::record

bool RecordReader::take(BytesView& field) {
    const size_t comma = buf_.find(',', at_);
    if (comma == Bytes::npos) return false;
    field = BytesView(buf_).substr(at_, comma - at_);
    at_ = comma + 1;
    return true;
}

int32_t RecordReader::nextId() {
    BytesView head;
    if (!take(head)) return -1;
    const size_t a = head.find('@');
    if (a == BytesView::npos) return -1;
    return leadingInt(head.substr(a + 1));
}

int32_t RecordReader::number() {
    BytesView f;
    if (!take(f)) return 0;
    return leadingInt(f);
}

Bytes RecordReader::text() {
    BytesView f;
    if (!take(f)) return {};
    return save::record::decodeText(f);
}

int RecordReader::fieldsBeforeNextRecord(int limit) const {
    int n = 0;
    size_t at = at_;
    while (n < limit) {
        const size_t comma = buf_.find(',', at);
        if (comma == Bytes::npos) break;
        if (comma > at && buf_[at] == '@') break;
        ++n;
        at = comma + 1;
    }
    return n;
}

}  // namespace yv
