// The text of each message as the player reads it, sent out for dictionary tools: the clipboard
// (設定 > テキストをコピー) and the --text-out file; and read aloud (設定 > 読み上げ).
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/bytes.h"

namespace yv {

struct Runtime;
class ScriptSource;

// The --text-out file: opened once at start, one line a message appended. A FIFO works: a line
// that cannot be written whole at once (no reader, a full pipe) is dropped.
class TextOutFile {
public:
    // Nothing, with the reason in `why`, when the path cannot be written (a directory, ...).
    static std::unique_ptr<TextOutFile> open(const std::filesystem::path& file, std::string& why);
    ~TextOutFile();
    TextOutFile(const TextOutFile&) = delete;
    TextOutFile& operator=(const TextOutFile&) = delete;
    // `line` with a line feed after it; false when it was dropped.
    bool writeLine(std::string_view line);

private:
    explicit TextOutFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// What the interpreter thread needs to send the text (TextState holds it).
struct TextOut {
    TextOutFile* file = nullptr;        // main's, alive as long as the runtime; nullptr: none
    std::atomic<int32_t> clipboard{0};  // 設定 > テキストをコピー (the window thread turns it)
    // A restore (a load of any kind, a page move) puts the read position at a statement start.
    // When the first message after it is started by that very statement, the message is the
    // restored page shown again and is sent no more: that first message start consumes these
    // (-1: none pending).
    int32_t restoredStmt = -1;
    std::shared_ptr<const ScriptSource> restoredScript;
};

namespace text::out {
// The history's form of a message page (CP932 label and text): the speaker's name, a wide space,
// then the text; UTF-8. `lineBreak` stands for each line feed within the text.
std::string messageText(BytesView label, BytesView text, std::string_view lineBreak);
// The game's state was restored (after resetAndRestore's restore).
void restored(Runtime& rt);
// A message starts (startDisplay): whether it is the restored page shown again.
bool startIsReplay(Runtime& rt);
// A page of text item `item` has been shown to its end (its click wait begins, or its message
// ends): the part of the message not sent yet goes out.
void pageShown(Runtime& rt, int32_t item);
}  // namespace text::out

}  // namespace yv
