// Replay records: "@id," followed by each field and a comma. One syntax serves the replay log,
// the state text of saved games and system.dat.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <type_traits>

#include "core/bytes.h"
#include "core/record.h"

namespace yv {

class ReplayLog {
public:
    // The log stops growing here: a drawing loop with logging on would otherwise add megabytes
    // a second, and nothing reads those records (a save empties the log before writing).
    static constexpr size_t kMaxBytes = size_t{1} << 20;
    // Appends the record while logging is on (savetmp .. nonesavetmp) and the log has room.
    template <class... Fields>
    void add(int32_t id, const Fields&... fields) {
        if (logging && text.size() < kMaxBytes) text += record::format(id, fields...);
    }
    Bytes text;
    int32_t logging = 0;
};

// Consumes records from the front of a text, as the loader and the system load read them. It
// never fails: a missing comma or '@' ends the records, missing fields read as 0 or empty.
class RecordReader {
public:
    explicit RecordReader(Bytes text) : buf_(std::move(text)) {}
    // The next record's id, or -1 at the end (no comma left, or no '@' before it).
    int32_t nextId();
    // The next field as a number (0 when not a number) or as text; missing fields are 0 / empty.
    int32_t number();
    Bytes text();
    // How many of the next fields (at most `limit`) come before a field that starts a record
    // ('@') or before the text runs out: tells a record's short form from its long one.
    int fieldsBeforeNextRecord(int limit) const;
    // What has not been read yet.
    BytesView rest() const { return BytesView(buf_).substr(at_); }

private:
    bool take(BytesView& field);
    Bytes buf_;
    size_t at_ = 0;
};

}  // namespace yv
