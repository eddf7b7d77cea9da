// The saved-game file: a header "%d," with the picture size plus one, the picture (each pixel's
// bytes b0 b1 b2 stored as b1 b2 b0), then the state text scrambled with its own byte 1.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/bytes.h"

namespace yv::save {

// "%d," with pictureBytes + 1.
Bytes fileHeader(int64_t pictureBytes);

// Stores `bytes` of 24-bit pixels (bytes is a multiple of 3) in file order.
void encodePicture(const uint8_t* pixels, size_t bytes, uint8_t* out);
// Undoes it for the whole pixels of `block`, at most dstBytes of output; returns bytes written.
size_t decodePicture(BytesView block, uint8_t* dst, size_t dstBytes);

// Bytes 0 and 1 stay; every later byte is XORed with byte 1. Doing it twice gives the text back.
void scramble(Bytes& text);

// The three parts of a file as the loader finds them. The header's size is trusted only as far
// as the file reaches: a file cut short has a shorter picture and no state text.
struct SaveFileParts {
    bool hasHeader = false;  // a comma was found
    int64_t declaredPicture = 0;  // the header's number minus one (0 when not positive)
    BytesView picture;            // what the file holds of the picture (after the comma)
    BytesView state;              // the scrambled state text
};
SaveFileParts splitSaveFile(BytesView file);

// Why the bytes are no saved game at all, or nullptr when they are one: a file that is empty,
// does not start with a decimal picture size and a comma, holds less than that picture, or
// whose state text does not open with record 300 (the call stack every save text starts with).
// Checked before a load resets anything; a file cut inside its state text passes.
const char* notASave(BytesView file);

}  // namespace yv::save
