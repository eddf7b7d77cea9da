// Reads Windows-style initialisation files the way the platform's profile functions do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/bytes.h"

namespace yv {

class IniFile {
public:
    IniFile() = default;
    static IniFile parse(BytesView text);
    static std::optional<IniFile> load(const std::filesystem::path& file);

    // Section and key match without regard to case; the first occurrence wins.
    std::optional<Bytes> find(BytesView section, BytesView key) const;
    // Leading decimal number of the value (as the profile integer function reads it), else def.
    int32_t getInt(BytesView section, BytesView key, int32_t def) const;
    Bytes getString(BytesView section, BytesView key, BytesView def) const;

    // Every (section, key) asked for from now on is appended to `into` (nullptr stops it): the
    // checker learns the keys a reader knows by letting it read.
    void recordAsked(std::vector<std::pair<Bytes, Bytes>>* into) { asked_ = into; }

private:
    std::vector<std::pair<Bytes, Bytes>>* asked_ = nullptr;
    struct Section {
        Bytes name;
        std::vector<std::pair<Bytes, Bytes>> entries;
    };
    std::vector<Section> sections_;
};

}  // namespace yv
