// libFuzzer target: arbitrary bytes as a choice list.
#include <cstddef>
#include <cstdint>

#include "lang/interp.h"
#include "text/choice_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static yv::Interp in;
    (void)yv::text::choicelist::parse(in, yv::BytesView(reinterpret_cast<const char*>(data), size));
    return 0;
}
