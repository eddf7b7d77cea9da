// Finds a script's file name (CP932, '\' or '/' separators, any letter case) in the game folder.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "core/bytes.h"

namespace yv {

class PathResolver {
public:
    explicit PathResolver(std::filesystem::path base = std::filesystem::current_path());

    const std::filesystem::path& base() const { return base_; }

    // The existing file or folder the name means, or nothing.
    std::optional<std::filesystem::path> find(BytesView name) const;

    // Where to write the name: the folders that exist are matched as by find(), a missing last
    // part is taken as written (converted to UTF-8).
    std::filesystem::path forWrite(BytesView name) const;

    // Splits at '\' and '/', stepping over the second bytes of double-byte characters
    // (表 = 95 5C must not split).
    static std::vector<Bytes> split(BytesView name);

    // The key two names are compared by: UTF-8, ASCII letters folded.
    static std::string foldKey(std::string_view utf8);

    // A name found on disk as UTF-8 (raw CP932 names are decoded first).
    static std::string diskNameToUtf8(std::string_view raw);

private:
    std::optional<std::filesystem::path> matchIn(const std::filesystem::path& dir,
                                                 const Bytes& component) const;
    std::filesystem::path base_;
};

}  // namespace yv
