// libFuzzer target: arbitrary bytes as a text table file (the first two bytes choose how many
// items and rows are filled).
#include <cstddef>
#include <cstdint>

#include "text/text_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t count = data[0] % 9, rows = data[1] % 17;
    std::vector<yv::TextItem> items(static_cast<size_t>(count));
    for (yv::TextItem& it : items) it.rows.resize(static_cast<size_t>(rows));
    yv::text::texttable::fill(items, count, rows, yv::BytesView(reinterpret_cast<const char*>(data + 2), size - 2));
    (void)yv::text::texttable::splitRecord(yv::BytesView(reinterpret_cast<const char*>(data), size));
    return 0;
}
