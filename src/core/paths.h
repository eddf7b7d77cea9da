// Finds a script's file name (CP932, '\' or '/' separators, any letter case) in the game folder,
// never above it and never through a link that leads out of it.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "core/beneath.h"
#include "core/bytes.h"

namespace yv {

class PathResolver {
public:
    explicit PathResolver(std::filesystem::path base = std::filesystem::current_path());

    const std::filesystem::path& base() const { return base_; }

    // The existing file or folder the name means, or nothing. A name is taken beneath the base:
    // "sub/../a.txt" is "a.txt", as the games' platform read it; an absolute name counts only
    // when it points into the base (scripts build names from getcurrentdirectry); a name that
    // would leave the base, by "..", an absolute path or a link, is nothing as well, and `why`
    // says which.
    std::optional<std::filesystem::path> find(BytesView name, Outside* why = nullptr) const;

    // Where to write the name: the folders that exist are matched as by find(), a missing last
    // part is taken as written (converted to UTF-8). Nothing for an empty name and for one that
    // would leave the base (`why` says how).
    std::optional<std::filesystem::path> forWrite(BytesView name, Outside* why = nullptr) const;

    // Splits at '\' and '/', stepping over the second bytes of double-byte characters
    // (表 = 95 5C must not split).
    static std::vector<Bytes> split(BytesView name);

    // The key two names are compared by: UTF-8, ASCII letters folded.
    static std::string foldKey(std::string_view utf8);

    // A name found on disk as UTF-8 (raw CP932 names are decoded first).
    static std::string diskNameToUtf8(std::string_view raw);

private:
    std::optional<std::vector<Bytes>> partsBeneath(BytesView name, Outside* why) const;
    std::optional<std::filesystem::path> matchIn(const std::filesystem::path& dir,
                                                 const Bytes& component) const;
    std::filesystem::path base_;
};

}  // namespace yv
