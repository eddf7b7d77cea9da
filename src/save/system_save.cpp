// system.dat: integer variables 901..2000 that outlive a game, as XOR-scrambled 201 records.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/cp932.h"
#include "io/file_reader.h"
#include "runtime.h"
#include "save/save_folder.h"
#include "save/save_state.h"

namespace yv::save {
namespace {

std::filesystem::path systemDatPath(const Runtime& rt) { return ownSavePath(rt, "system.dat"); }

}  // namespace

Bytes systemSaveText(const Runtime& rt) {
    Bytes text;
    for (int i = kSystemVarFirst; i <= kSystemVarLast; ++i) {
        const int32_t v = rt.interp.ivar[static_cast<size_t>(i)];
        if (v != 0) text += record::format(201, i, v);
    }
    return text;
}

bool writeSystemSave(Runtime& rt) {
    const std::filesystem::path path = systemDatPath(rt);
    Bytes text = systemSaveText(rt);
    std::error_code ec;
    if (text.empty()) {
        std::filesystem::remove(path, ec);  // nothing to keep: no file remains
        return true;
    }
    for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) ^ kSystemSaveKey);
    // The old file stays until the new one is complete on disk, so a crash never loses it.
    std::string why;
    const bool ok = atomic_file::replace(path, {text}, why, *rt.save.fileOps);
    if (!ok) {
        std::fprintf(stderr, "yorvane: cannot write %s: %s\n", path.c_str(), why.c_str());
        const Bytes msg = "FileName is \"" + utf8ToCp932(path.string()) + "\"\n" +
                          utf8ToCp932("セーブ生成に失敗しました");
        rt.messageBox(msg, "", MsgButtons::Ok, MsgIcon::Error);
    }
    return ok;
}

void readSystemSave(Runtime& rt) {
    // A system.dat is a few kilobytes; anything far larger is not one.
    auto file = io::readRegular(systemDatPath(rt), int64_t{16} << 20, nullptr, saveRoot(rt));
    if (!file) return;
    Bytes data = std::move(*file);
    const size_t zero = data.find('\0');
    if (zero != Bytes::npos) data.resize(zero);
    if (data.empty()) return;
    for (char& c : data) c = static_cast<char>(static_cast<unsigned char>(c) ^ kSystemSaveKey);
    RecordReader r(std::move(data));
    for (;;) {
        const int32_t id = r.nextId();
        if (id == -1) return;
        if (id == 1) {
            rt.interp.pos = r.number();
            rt.interp.stmtStart = r.number();
        } else if (id == 200) {
            const int32_t index = r.number();
            Bytes text = r.text();
            if (index >= 0 && index < kStrSlotCount) rt.interp.svar[static_cast<size_t>(index)] = std::move(text);
        } else if (id == 201) {
            const int32_t index = r.number();
            const int32_t value = r.number();
            if (index >= 0 && index < kIntVarCount) rt.interp.ivar[static_cast<size_t>(index)] = value;
        }
        // Other ids are ignored; their fields are then met as ids and end the loop.
    }
}

}  // namespace yv::save
