// Reading records back.
#include "save/replay_log.h"

namespace yv {

bool RecordReader::take(Bytes& field) {
    const size_t comma = buf_.find(',', at_);
    if (comma == Bytes::npos) return false;
    field.assign(buf_, at_, comma - at_);
    at_ = comma + 1;
    return true;
}

int32_t RecordReader::nextId() {
    Bytes head;
    if (!take(head)) return -1;
    const size_t a = head.find('@');
    if (a == Bytes::npos) return -1;
    return leadingInt(BytesView(head).substr(a + 1));
}

int32_t RecordReader::number() {
    Bytes f;
    if (!take(f)) return 0;
    return leadingInt(f);
}

Bytes RecordReader::text() {
    Bytes f;
    take(f);
    return f;
}

}  // namespace yv
