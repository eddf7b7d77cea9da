// Archive index decoding, lookup, listing and writing.
#include "io/archive.h"

namespace yv::io::archive {
namespace {

constexpr size_t kMaxDataName = 255;

int64_t fieldValue(BytesView text) { return leadingInt(text); }

}  // namespace

DecodedIndex decodeIndex(BytesView raw) {
    DecodedIndex out;
    if (raw.empty()) return out;
    Bytes buf(raw);
    const char k = buf[0];
    for (size_t i = 1; i < buf.size(); ++i) buf[i] = static_cast<char>(buf[i] ^ k);
    for (size_t i = 2; i < buf.size() && buf[i] != '#' && buf[i] != '\0' &&
                       out.dataName.size() < kMaxDataName;
         ++i)
        out.dataName += buf[i];
    const size_t zero = buf.find('\0');
    out.text = lowerAscii(BytesView(buf).substr(0, zero));
    out.dataKey = out.text.empty() ? 0 : static_cast<unsigned char>(out.text[0]);
    return out;
}

std::optional<EntryRef> lookup(BytesView text, BytesView lowerName) {
    if (lowerName.empty()) return std::nullopt;
    const size_t at = text.find(lowerName);
    if (at == BytesView::npos) return std::nullopt;
    size_t i = at + lowerName.size();
    while (i < text.size() && text[i] != '$' && text[i] != '*') ++i;
    if (i >= text.size()) return std::nullopt;
    Bytes offsetText, sizeText;
    Bytes* field = nullptr;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+' || c == '#') break;
        if (c == '$') {
            field = &offsetText;
        } else if (c == '*') {
            field = &sizeText;
        } else if (field) {
            field->push_back(c);
        }
    }
    return EntryRef{fieldValue(offsetText), fieldValue(sizeText)};
}

std::vector<Listing> listEntries(BytesView text) {
    std::vector<Listing> out;
    size_t i = 2;
    while (i < text.size() && text[i] != '#') ++i;  // the data file name
    while (i < text.size()) {
        ++i;  // the separator
        const size_t start = i;
        while (i < text.size() && text[i] != '+' && text[i] != '#') ++i;
        const BytesView part = text.substr(start, i - start);
        if (part.empty()) continue;
        Listing l;
        size_t f = 0;
        while (f < part.size() && part[f] != '$' && part[f] != '*') ++f;
        l.name = Bytes(part.substr(0, f));
        if (f < part.size()) {
            l.hasFields = true;
            Bytes offsetText, sizeText;
            Bytes* field = nullptr;
            for (size_t k = f; k < part.size(); ++k) {
                if (part[k] == '$') field = &offsetText;
                else if (part[k] == '*') field = &sizeText;
                else if (field) field->push_back(part[k]);
            }
            l.offset = fieldValue(offsetText);
            l.size = fieldValue(sizeText);
        }
        out.push_back(std::move(l));
    }
    return out;
}

void scramble(Bytes& bytes, unsigned char key) {
    for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
}

unsigned char dataKeyFor(unsigned char indexKey) {
    return (indexKey >= 'A' && indexKey <= 'Z') ? static_cast<unsigned char>(indexKey + 32) : indexKey;
}

Bytes encodeIndex(unsigned char key, BytesView dataName, const std::vector<NewEntry>& entries) {
    Bytes text;
    text += static_cast<char>(key);
    text += '\x01';
    text += dataName;
    for (const NewEntry& e : entries) {
        text += '#';
        text += lowerAscii(e.name);
        text += '$';
        text += std::to_string(e.offset);
        text += '*';
        text += std::to_string(e.size);
    }
    for (size_t i = 1; i < text.size(); ++i) text[i] = static_cast<char>(text[i] ^ key);
    return text;
}

}  // namespace yv::io::archive
