// Save and Load.
#include "save/save_game.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ui/app_state.h"
#include "core/cp932.h"
#include "io/file_reader.h"
#include "graphics/present.h"
#include "media/media.h"
#include "runtime.h"
#include "save/commands.h"
#include "save/replay.h"
#include "save/save_folder.h"
#include "save/save_file.h"
#include "text/choices.h"
#include "text/renderer.h"

namespace fs = std::filesystem;

namespace yv::save {
namespace {

// Larger files are no saved game of ours; reading them whole is not attempted.
constexpr int64_t kMaxSaveFileBytes = int64_t{512} << 20;

int64_t pictureBytes(const Runtime& rt) {
    return int64_t{std::max(rt.config.width, 0)} * std::max(rt.config.height, 0) * 3;
}

Bytes failureText(BytesView shownName, const char* what) {
    return "FileName is \"" + Bytes(shownName) + "\"\n" + utf8ToCp932(what);
}

// The file the loaded text came from. A subroutine called without a file goes on in the loaded
// text under the name ";", which no file has: the script cache knows the real one.
Bytes loadedFileName(Interp& in) {
    if (in.scriptName != ";") return in.scriptName;
    Bytes name = in.scriptCache.nameOf(in.script);
    return name.empty() ? in.scriptName : name;
}

void appendCallStack(Bytes& t, Interp& in) {
    CallStack& cs = in.calls;
    const int32_t d = std::clamp(cs.depth, 0, kStackSize);
    const auto top = static_cast<size_t>(d);
    // The entry above the top holds where the game is now.
    cs.file[top] = in.scriptName;
    cs.pos[top] = in.pos;
    for (size_t l = 0; l <= top; ++l) t += record::format(300, static_cast<int32_t>(l), cs.file[l], cs.pos[l], cs.extra[l]);
    // The record that reloads the script names the file of the text that is loaded now.
    t += record::format(302, d, loadedFileName(in), cs.pos[top], cs.extra[top]);
}

// The picture a saved game shows: the back screen, or, while the choices of a choice block are
// on offer, screen 0 as it was before their highlight (the save-under copy).
const Screen& pictureSource(const Runtime& rt) {
    const Screens& s = rt.screens;
    if (rt.choices.ready && rt.app.choiceBlock && s.saveUnder.exists()) return s.saveUnder;
    return s.table[1];
}

}  // namespace

Bytes buildSaveText(Runtime& rt) {
    Interp& in = rt.interp;
    const TextState& tx = rt.text;
    Bytes t;
    t.reserve(4096);
    appendCallStack(t, in);
    t += record::format(95, in.scriptName);
    // While a choice block is open, loading runs its choice statement again.
    if (rt.app.choiceBlock)
        t += record::format(1, rt.choices.blockPos + 1, rt.choices.blockPos);
    else
        t += record::format(1, in.pos, in.stmtStart);
    for (int i = 0; i < kIntVarCount; ++i)
        if (const int32_t v = in.ivar[static_cast<size_t>(i)]; v != 0) t += record::format(201, i, v);
    for (int i = 0; i < kStrSlotCount; ++i)
        if (const Bytes& s = in.svar[static_cast<size_t>(i)]; !s.empty()) t += record::format(200, i, s);
    for (int i = 0; i < 256; ++i)
        if (const LoadedImage& l = rt.screens.loaded[static_cast<size_t>(i)]; !l.fileName.empty())
            t += record::format(51, i, l.mask, l.fileName);
    for (int i = 0; i < kScreenCount; ++i) {
        const Screen& s = rt.screens.table[static_cast<size_t>(i)];
        if (!s.fileName.empty())
            t += record::format(51, i, s.mask, s.fileName);
        else if (s.created)
            t += record::format(57, i, i, s.createdWidth, s.createdHeight);
    }
    // The default speed of new text items (settextspeed) is kept as well, so that every text
    // setting comes back; a runtime that does not know it would replay it all the same.
    t += record::format(79, tx.defaultSpeed);
    t += record::format(70, static_cast<int32_t>(tx.items.size()), tx.rowCount);
    if (!tx.tableFile.empty())
        t += record::format(72, tx.tableFile, static_cast<int32_t>(tx.items.size()) + 1, tx.rowCount + 1);
    for (size_t i = 0; i < tx.items.size(); ++i) {
        const TextItem& it = tx.items[i];
        const auto n = static_cast<int32_t>(i);
        t += record::format(73, n, it.x, it.y);
        t += record::format(80, n, it.wait);
        t += record::format(81, n, it.colourSet, it.colour.r, it.colour.g, it.colour.b);
        t += record::format(85, n, it.length);
    }
    const WaitIcon& ic = tx.icon;
    t += record::format(92, ic.source, ic.sx, ic.sy, ic.w, ic.h, ic.frames, ic.delay & 0xFF);
    t += record::format(87, tx.continueCount, tx.continueMarker, tx.continueColour.r, tx.continueColour.g,
                        tx.continueColour.b);
    t += record::format(89, tx.textType, tx.decorationMarker, tx.decoration.r, tx.decoration.g, tx.decoration.b);
    const Rgb& c = rt.choices.colour;
    t += record::format(90, kColourMarker, c.r, c.g, c.b);
    t += record::format(96, static_cast<int32_t>(rt.app.choiceBlock), tx.trapBuffer ? 1 : 0);
    t += record::format(99, tx.textBuffer ? 1 : 0);
    t += media::waveRecord(rt);
    t += media::midiRecord(rt);
    t += media::cdRecord(rt);
    const FontRecord& f = tx.font;
    t += record::format(78, f.face, f.height, f.weight, f.strikeOut, f.italic, f.underline);
    t += record::format(97, rt.resources.archiveMode() ? 1 : 0);
    t += record::format(94, tx.defaultWait);
    t += record::format(86, ic.posMode, ic.posX, ic.posY);
    t += record::format(88, rt.app.title());
    return t;
}

Bytes buildSaveFile(Runtime& rt) {
    rt.save.log.text.clear();
    Bytes text = buildSaveText(rt);
    scramble(text);
    const int64_t size = pictureBytes(rt);
    Bytes file = fileHeader(size);
    const size_t head = file.size();
    file.resize(head + static_cast<size_t>(size), '\0');
    const Screen& src = pictureSource(rt);
    const size_t n = std::min(static_cast<size_t>(size), src.pixels.size()) / 3 * 3;
    encodePicture(src.pixels.data(), n, reinterpret_cast<uint8_t*>(file.data() + head));
    file += text;
    // The log is left holding the scrambled text until the next reset, save or load.
    rt.save.log.text = std::move(text);
    return file;
}

bool saveGame(Runtime& rt, const fs::path& file, BytesView shownName) {
    const Bytes bytes = buildSaveFile(rt);
    std::string why;
    if (atomic_file::replace(file, {bytes}, why, *rt.save.fileOps)) {
        markProgress(rt);
        rt.save.thumbnails.get(file, rt.config.width, rt.config.height);  // ready for the menus
        return true;
    }
    std::fprintf(stderr, "yorvane: cannot save %s: %s\n", file.c_str(), why.c_str());
    rt.messageBox(failureText(shownName, "セーブ生成に失敗しました"), "", MsgButtons::Ok, MsgIcon::Error);
    return false;
}

void restoreFromBytes(Runtime& rt, BytesView data) {
    const SaveFileParts parts = splitSaveFile(data);
    runCommandText(rt, "stopwave", "();");
    Bytes state(parts.state);
    scramble(state);
    rt.save.log.text.clear();
    replayRecords(rt, std::move(state));
    // The picture goes to the back screen and from there to the window. A file made for another
    // screen size gives what it holds; the rest of the screen stays as it was.
    Screens& s = rt.screens;
    Screen& back = s.table[1];
    decodePicture(parts.picture, back.pixels.data(), back.pixels.size());
    Screen& front = s.table[0];
    if (front.pixels.size() == back.pixels.size()) {
        front.pixels = back.pixels;
    } else {
        const size_t n = std::min(front.pixels.size(), back.pixels.size());
        std::copy_n(back.pixels.begin(), n, front.pixels.begin());
    }
    graphics::presentScreen(rt);
    rt.interp.pos = rt.interp.stmtStart;
}

void resetAndRestore(Runtime& rt, BytesView file) {
    rt.resetForLoad();
    text::clearOverlay(rt);
    for (int n = 2; n <= 255; ++n)
        if (rt.screens.table[static_cast<size_t>(n)].exists()) runCommandText(rt, "releaseimage", "( " + decimal(n) + " );");
    restoreFromBytes(rt, file);
    text::out::restored(rt);
    rt.save.justLoaded = 1;
    setSaveMenusEnabled(rt, true);
}

std::optional<Bytes> readSaveFile(Runtime& rt, const fs::path& file, BytesView shownName, const fs::path& root) {
    io::ReadFailure failure = io::ReadFailure::None;
    std::optional<Bytes> read = io::readRegular(file, kMaxSaveFileBytes, &failure, root);
    if (read) return read;
    const char* why = nullptr;
    switch (failure) {
    case io::ReadFailure::Missing: why = "no such file"; break;
    case io::ReadFailure::NotRegular: why = "not a file"; break;
    case io::ReadFailure::TooLarge: why = "too large for a saved game"; break;
    case io::ReadFailure::Outside: why = "a link leads out of the save folder"; break;
    default: why = errno ? std::strerror(errno) : "read error"; break;
    }
    std::fprintf(stderr, "yorvane: cannot read %s: %s\n", file.c_str(), why);
    rt.messageBox(failureText(shownName, "ファイルのロードに失敗しました"), "", MsgButtons::Ok, MsgIcon::Error);
    return std::nullopt;
}

bool loadFromBytes(Runtime& rt, BytesView data, const fs::path& shownFile) {
    if (const char* damage = notASave(data)) {
        // The caller says the load failed ("ファイルが壊れている可能性があります").
        std::fprintf(stderr, "yorvane: cannot load %s: not a saved game (%s)\n", shownFile.c_str(), damage);
        return false;
    }
    Interp& in = rt.interp;
    const int32_t wasSuspended = in.suspended.exchange(1);
    resetAndRestore(rt, data);
    markProgress(rt);
    in.suspended = wasSuspended;
    return true;
}

bool loadGame(Runtime& rt, const fs::path& file, BytesView shownName) {
    // The file is read and checked before anything is reset: a load that fails leaves the game
    // as it was, where the original had already wiped it.
    const std::optional<Bytes> read = readSaveFile(rt, file, shownName, saveRoot(rt));
    if (!read || !loadFromBytes(rt, *read, file)) return false;
    Interp& in = rt.interp;
    const int32_t wasSuspended = in.suspended.exchange(1);
    rt.messageBox(utf8ToCp932("Loadに成功しました。\n"), "", MsgButtons::Ok, MsgIcon::None);
    in.suspended = wasSuspended;
    return true;
}

void sayNotASave(Runtime& rt, BytesView caption) {
    rt.messageBox(utf8ToCp932("ロードに失敗しました\nファイルが壊れている可能性があります"), caption, MsgButtons::Ok,
                  MsgIcon::Exclamation);
}

uint32_t progress(const Runtime& rt) { return rt.text.pageWaitsPassed + rt.choices.taken; }
void markProgress(Runtime& rt) { rt.save.progressMark = progress(rt); }
bool madeProgress(const Runtime& rt) { return progress(rt) != rt.save.progressMark; }

}  // namespace yv::save
