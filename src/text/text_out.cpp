// Sending the message text out: the history's form of a page, the clipboard and the file.
#include "text/text_out.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "core/cp932.h"
#include "runtime.h"
#include "ui/speech.h"

namespace yv {

std::unique_ptr<TextOutFile> TextOutFile::open(const std::filesystem::path& file, std::string& why) {
    // O_NONBLOCK: a FIFO with no reader must never hold the interpreter (open answers ENXIO at
    // once then, and later writes EAGAIN). No O_TRUNC: a file grows across runs, and a FIFO has
    // nothing to cut.
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        // A FIFO nobody reads yet: the reader may come later, so it is opened for both ends
        // (Linux allows it), which never blocks; lines written before a reader comes wait in
        // the pipe's buffer until it is full, then are dropped.
        if (errno == ENXIO) {
            const int both = ::open(file.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (both >= 0) return std::unique_ptr<TextOutFile>(new TextOutFile(both));
        }
        why = errno == EISDIR ? "is a folder, not a file" : std::strerror(errno);
        return nullptr;
    }
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        why = "is a folder, not a file";
        return nullptr;
    }
    // A reader that goes away must not end the game: the write fails (EPIPE) and the line is
    // dropped instead of the signal's default, which ends the process.
    std::signal(SIGPIPE, SIG_IGN);
    return std::unique_ptr<TextOutFile>(new TextOutFile(fd));
}

TextOutFile::~TextOutFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool TextOutFile::writeLine(std::string_view line) {
    std::string whole(line);
    whole += '\n';
    // One write a line, so that a reader never sees half of one: a pipe takes up to PIPE_BUF
    // bytes whole or not at all. A write that would block (a full pipe, a reader that stopped
    // reading) drops the line: the game must go on, and waiting could be forever.
    const ssize_t n = ::write(fd_, whole.data(), whole.size());
    return n == static_cast<ssize_t>(whole.size());
}

namespace text::out {

std::string messageText(BytesView label, BytesView text, std::string_view lineBreak) {
    while (!text.empty() && text.front() == '\n') text.remove_prefix(1);
    while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    if (text.empty()) return {};
    std::string out;
    if (!label.empty()) out = cp932ToUtf8(label) + "　";
    for (;;) {
        const size_t lf = text.find('\n');
        out += cp932ToUtf8(text.substr(0, lf));
        if (lf == BytesView::npos) break;
        out += lineBreak;
        text.remove_prefix(lf + 1);
    }
    return out;
}

void restored(Runtime& rt) {
    TextOut& o = rt.text.out;
    o.restoredStmt = rt.interp.stmtStart;
    o.restoredScript = rt.interp.script;
}

bool startIsReplay(Runtime& rt) {
    TextOut& o = rt.text.out;
    const bool replay = o.restoredStmt == rt.interp.stmtStart && o.restoredScript == rt.interp.script;
    o.restoredStmt = -1;
    o.restoredScript.reset();
    return replay;
}

void pageShown(Runtime& rt, int32_t item) {
    TextState& t = rt.text;
    RenderState& rs = t.rs;
    // Item 1's messages alone are the history's (the other items' text is the next one's name);
    // choice lines are no page, and a message the game keeps out of the history stays in.
    if (item != 1 || t.selectMode || !t.history.recording) return;
    // What this page added to the message (its earlier pages went out at their own ends, or
    // were shown while nothing was sending: a page is never sent late, at its message's end).
    const size_t from = std::min(rs.historySent, rs.historyText.size());
    rs.historySent = rs.historyText.size();
    const bool clip = t.out.clipboard != 0;
    const bool aloud = rt.app.speech.on != 0;
    if (!clip && !t.out.file && !aloud) return;
    if (t.display.replayed) return;
    const BytesView added = BytesView(rs.historyText).substr(from);
    if (t.out.file || aloud) {
        std::string line = messageText(rs.labelText, added, " ");
        if (t.out.file && !line.empty()) t.out.file->writeLine(line);
        if (aloud) ui::speak(rt.app.speech, std::move(line));
    }
    if (clip) {
        std::string text = messageText(rs.labelText, added, "\n");
        if (!text.empty()) rt.platform.setClipboardText(std::move(text));
    }
}

}  // namespace text::out
}  // namespace yv
