// Choice lists: the text of click-area records that click-area commands and choice blocks post.
#pragma once

#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "text/text_state.h"

namespace yv {

struct Interp;

// One clickable area. The rectangle is inclusive on all four sides.
struct ChoiceRecord {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    Bytes label, file;
    int32_t button = 1;   // 1 left, 2 right
    int32_t number = 0;   // handed to the jump
    int32_t base = -1;    // screen an unhighlighted area is restored from; -1 = no highlight
    Rgb colour{0, 0, 128};
    bool picture = false;  // image commands: the highlight is a picture
    int32_t sx = 0, sy = 0, pictureScreen = 0, step = 0;

    bool contains(int32_t x, int32_t y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

namespace text::choicelist {
// Parses a list: one record per line, the list ending at ';'. Spaces and tabs outside quotes
// are dropped; numbers may be expressions of the argument language (variables included).
// Lines that hold no rectangle are passed over.
std::vector<ChoiceRecord> parse(const Interp& in, BytesView list);

// The record line of a choice made by a choice block.
Bytes blockRecord(const TextRect& r, BytesView label, BytesView file, Rgb colour);
}  // namespace text::choicelist

}  // namespace yv
