// iconv-based CP932 <-> UTF-8 conversion. CP932 (not SHIFT_JIS) keeps 0x5C a backslash and
// covers the NEC/IBM extension characters that game text uses.
#include "core/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace yv {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false at the first invalid or incomplete sequence,
    // leaving `in` pointing at it.
    bool run(const char*& in, size_t& inLeft, std::string& out) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[1024];
        while (inLeft > 0) {
            char* o = buf;
            size_t oLeft = sizeof buf;
            size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &o, &oLeft);
            out.append(buf, static_cast<size_t>(o - buf));
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                return false;
            }
        }
        char* o = buf;
        size_t oLeft = sizeof buf;
        iconv(cd_, nullptr, nullptr, &o, &oLeft);
        out.append(buf, static_cast<size_t>(o - buf));
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string cp932ToUtf8(std::string_view s) {
    thread_local Converter conv("UTF-8", "CP932");
    std::string out;
    out.reserve(s.size() * 3 / 2);
    const char* in = s.data();
    size_t left = s.size();
    while (left > 0) {
        if (conv.run(in, left, out)) break;
        out += "\xEF\xBF\xBD";  // U+FFFD for the byte iconv stopped at
        ++in;
        --left;
    }
    return out;
}

std::string utf8ToCp932(std::string_view s) {
    thread_local Converter conv("CP932", "UTF-8");
    std::string out;
    const char* in = s.data();
    size_t left = s.size();
    while (left > 0) {
        if (conv.run(in, left, out)) break;
        out += '?';
        // skip the rest of the offending UTF-8 sequence
        ++in;
        --left;
        while (left > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
            ++in;
            --left;
        }
    }
    return out;
}

}  // namespace yv
