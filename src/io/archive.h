// The resource archive format: decoding an index, looking a name up in it, and writing one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"

namespace yv::io::archive {

// An index file after unscrambling, as the reader keeps it.
struct DecodedIndex {
    Bytes text;      // from offset 0 to the first zero byte, single-byte letters lower-cased
    Bytes dataName;  // offset 2 up to the first '#' (at most 255 bytes), as written
    unsigned char dataKey = 0;  // the first byte of `text`; 0 when the text is empty
};

// Unscrambles a whole index file (every byte after the first XOR the first).
DecodedIndex decodeIndex(BytesView raw);

struct EntryRef {
    int64_t offset = 0;
    int64_t size = 0;
};

// The reader's lookup: the first occurrence of the (already lower-cased) name anywhere in the
// index text, then the "$" offset and "*" size fields that follow it, in either order, up to
// "+" or "#". Nothing when the name does not occur or no field follows it.
std::optional<EntryRef> lookup(BytesView indexText, BytesView lowerName);

// One entry as written in the index: the text before its fields, and the fields.
struct Listing {
    Bytes name;
    int64_t offset = 0;
    int64_t size = 0;
    bool hasFields = false;
};

// Splits the entry part of an index text (after the data file name's '#') at every "+" and "#".
std::vector<Listing> listEntries(BytesView indexText);

// XORs bytes in place.
void scramble(Bytes& bytes, unsigned char key);

struct NewEntry {
    Bytes name;  // CP932, stored lower-cased
    int64_t offset = 0;
    int64_t size = 0;
};

// The index file bytes the archive tool writes: key, an unused byte (0x01 before scrambling),
// the data file name, then "#name$offset*size" for every entry, all after the key XOR key.
Bytes encodeIndex(unsigned char key, BytesView dataName, const std::vector<NewEntry>& entries);

// The key the data file is scrambled with for an index key (an upper-case letter key becomes
// the lower-case letter, as the reader lower-cases the whole index text).
unsigned char dataKeyFor(unsigned char indexKey);

}  // namespace yv::io::archive
