// Keeping the read-text memory: identifying the page shown and writing read.dat.
#include "save/read_memory.h"

#include <cstdio>

#include "core/atomic_file.h"
#include "io/file_reader.h"
#include "runtime.h"
#include "save/save_folder.h"

namespace fs = std::filesystem;

namespace yv::save {
namespace {

// Quiet moments come often while a player reads: at most one write in this long.
constexpr uint32_t kWriteEveryMs = 5000;
// A game whose pages never wait (all timed) is written this often anyway.
constexpr uint32_t kWriteAtLeastEveryMs = 60000;

// The name and contents' hash of the file the message shown was read from; false when the
// message comes from no script file.
bool messageFile(Runtime& rt, ReadMemory& m) {
    const ScriptPtr& src = rt.text.display.script;
    if (!src) return false;
    if (src != m.script) {
        m.script = src;
        m.name = rt.interp.scriptCache.nameOf(src);
        // Text loaded by no file the cache knows (the first script, as start-up reads it).
        if (m.name.empty()) m.name = rt.interp.scriptName != ";" ? rt.interp.scriptName : rt.config.script;
        m.hash = ReadText::hash(src->text());
    }
    return !m.name.empty();
}

// Where the page is shown: the statement, the page's place among its pages, and the text.
uint64_t pageKey(const Display& d) {
    char where[8];
    for (int i = 0; i < 4; ++i) {
        where[i] = static_cast<char>((static_cast<uint32_t>(d.stmtStart) >> (8 * i)) & 0xFF);
        where[4 + i] = static_cast<char>((static_cast<uint32_t>(d.pageInStmt) >> (8 * i)) & 0xFF);
    }
    return ReadText::hash(d.text, ReadText::hash(BytesView(where, sizeof where)));
}

}  // namespace

void openReadText(Runtime& rt) {
    ReadMemory& m = rt.save.readText;
    m.file = userSaveFolder(rt.gameDir) / "read.dat";
    io::ReadFailure failure = io::ReadFailure::None;
    const auto data = io::readRegular(m.file, ReadText::kMaxFileBytes, &failure);
    if (!data) {
        if (failure != io::ReadFailure::Missing)
            std::fprintf(stderr, "yorvane: the read-text memory %s cannot be read; starting it afresh\n",
                         m.file.c_str());
        return;
    }
    m.pages = ReadText::decode(*data);
    if (m.pages.fileCount() == 0 && data->size() > 20)
        std::fprintf(stderr, "yorvane: the read-text memory %s is damaged; starting it afresh\n", m.file.c_str());
}

bool pageWasRead(Runtime& rt) {
    ReadMemory& m = rt.save.readText;
    return messageFile(rt, m) && m.pages.isRead(m.name, m.hash, pageKey(rt.text.display));
}

void notePageRead(Runtime& rt) {
    ReadMemory& m = rt.save.readText;
    if (messageFile(rt, m) && m.pages.note(m.name, m.hash, pageKey(rt.text.display))) m.dirty = true;
}

void keepReadTextWhenDue(Runtime& rt) {
    ReadMemory& m = rt.save.readText;
    if (!m.dirty) return;
    const uint32_t since = rt.clock().nowMs() - m.lastWriteMs;
    const bool quiet = rt.app.textClickWait != 0 || rt.interp.clickWaitMode != 0 || rt.app.choiceList != 0;
    if ((quiet && since >= kWriteEveryMs) || since >= kWriteAtLeastEveryMs) writeReadText(rt);
}

void writeReadText(Runtime& rt) {
    ReadMemory& m = rt.save.readText;
    if (!m.dirty) return;
    m.dirty = false;
    m.lastWriteMs = rt.clock().nowMs();
    if (m.file.empty()) return;
    std::error_code ec;
    fs::create_directories(m.file.parent_path(), ec);
    std::string error;
    if (!atomic_file::replace(m.file, {m.pages.encode()}, error, *rt.save.fileOps) && !m.warned) {
        m.warned = true;  // once a run: the game plays on, and the pages stay known for this run
        std::fprintf(stderr, "yorvane: cannot keep the read-text memory in %s: %s\n", m.file.c_str(), error.c_str());
    }
}

}  // namespace yv::save
