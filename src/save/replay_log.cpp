// Writing text fields and reading records back.
#include "save/replay_log.h"

namespace yv {

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
    return record::decodeText(f);
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
