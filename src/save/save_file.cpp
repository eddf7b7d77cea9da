// The saved-game file layout.
#include "save/save_file.h"

#include <algorithm>

namespace yv::save {

Bytes fileHeader(int64_t pictureBytes) { return decimal(pictureBytes + 1) + ","; }

void encodePicture(const uint8_t* p, size_t bytes, uint8_t* out) {
    for (size_t i = 0; i + 3 <= bytes; i += 3) {
        out[i] = p[i + 1];
        out[i + 1] = p[i + 2];
        out[i + 2] = p[i];
    }
}

size_t decodePicture(BytesView block, uint8_t* dst, size_t dstBytes) {
    const size_t n = std::min(block.size(), dstBytes) / 3 * 3;
    const auto* s = reinterpret_cast<const uint8_t*>(block.data());
    for (size_t i = 0; i < n; i += 3) {
        dst[i] = s[i + 2];
        dst[i + 1] = s[i];
        dst[i + 2] = s[i + 1];
    }
    return n;
}

void scramble(Bytes& text) {
    if (text.size() < 3) return;
    const char k = text[1];
    for (size_t i = 2; i < text.size(); ++i) text[i] = static_cast<char>(text[i] ^ k);
}

SaveFileParts splitSaveFile(BytesView file) {
    SaveFileParts p;
    const size_t comma = file.find(',');
    if (comma == BytesView::npos) {
        p.state = file;  // no picture at all: the whole file is the state text
        return p;
    }
    p.hasHeader = true;
    const int64_t n = leadingInt(file.substr(0, comma));
    p.declaredPicture = std::max<int64_t>(n - 1, 0);
    const BytesView after = file.substr(comma + 1);
    const size_t take = static_cast<size_t>(std::min<int64_t>(p.declaredPicture, static_cast<int64_t>(after.size())));
    p.picture = after.substr(0, take);
    p.state = after.substr(take);
    return p;
}

const char* notASave(BytesView file) {
    if (file.empty()) return "the file is empty";
    size_t digits = 0;
    while (digits < file.size() && file[digits] >= '0' && file[digits] <= '9') ++digits;
    if (digits == 0 || digits >= file.size() || file[digits] != ',')
        return "it does not start with a picture size and a comma";
    // More digits than any file's size has: a number that cannot fit.
    if (digits > 15) return "its picture is larger than the file";
    int64_t n = 0;
    for (size_t i = 0; i < digits; ++i) n = n * 10 + (file[i] - '0');
    const int64_t after = static_cast<int64_t>(file.size() - digits - 1);
    if (n < 1 || n - 1 > after) return "its picture is larger than the file";
    const BytesView state = file.substr(digits + 1 + static_cast<size_t>(n - 1));
    // "@300," with bytes 2 on XORed with byte 1 ('3').
    if (state.size() < 5 || state[0] != '@' || state[1] != '3' || (state[2] ^ '3') != '0' ||
        (state[3] ^ '3') != '0' || (state[4] ^ '3') != ',')
        return "its state text does not start with the call stack";
    return nullptr;
}

}  // namespace yv::save
