// libFuzzer target: arbitrary bytes as an archive index, decoded, listed and looked up in.
#include <cstddef>
#include <cstdint>

#include "io/archive.h"

using namespace yv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const BytesView raw(reinterpret_cast<const char*>(data), size);
    const io::archive::DecodedIndex idx = io::archive::decodeIndex(raw);
    (void)io::archive::listEntries(idx.text);
    for (const char* name : {"script.txt", "a", "bg.bmp", ""}) (void)io::archive::lookup(idx.text, name);
    // Names taken from the input itself reach entries a fixed list would miss.
    if (size > 2) (void)io::archive::lookup(idx.text, lowerAscii(raw.substr(size / 2, 12)));
    return 0;
}
