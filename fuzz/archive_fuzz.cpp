// libFuzzer target: arbitrary bytes as an archive index, decoded, listed and looked up in.
#include <cstddef>
#include <cstdint>

#include "graphics/archive.h"

using namespace yv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const BytesView raw(reinterpret_cast<const char*>(data), size);
    const archive::DecodedIndex idx = archive::decodeIndex(raw);
    (void)archive::listEntries(idx.text);
    for (const char* name : {"script.txt", "a", "bg.bmp", ""}) (void)archive::lookup(idx.text, name);
    // Names taken from the input itself reach entries a fixed list would miss.
    if (size > 2) (void)archive::lookup(idx.text, lowerAscii(raw.substr(size / 2, 12)));
    return 0;
}
