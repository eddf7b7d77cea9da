// The text table file: records ended by ';', fields split at commas, one field per item.
#pragma once

#include <vector>

#include "core/bytes.h"
#include "text/text_state.h"

namespace yv::text::texttable {

// The fields of one record: commas outside quotes split; a quoted field keeps what stands
// between its quotes (a quote not followed by a comma or the record's end is kept as a byte, so
// inline commands may carry quoted arguments); an unquoted field loses surrounding blanks.
std::vector<Bytes> splitRecord(BytesView record);

// Fills rows 0.. of the first `count` items from the file text; every message gets its "\e".
void fill(std::vector<TextItem>& items, int32_t count, int32_t rows, BytesView file);

}  // namespace yv::text::texttable
