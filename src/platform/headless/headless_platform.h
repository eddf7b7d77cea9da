// The platform without a window or sound device, for tests and --headless runs: a manual clock on
// which scheduled clicks fire, dialogs answered from a list and logged, the presented frame kept.
#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace yv {

class HeadlessPlatform final : public Platform {
public:
    HeadlessPlatform();

    Clock& clock() override { return clock_; }
    ManualClock& manualClock() { return clock_; }
    bool headless() const override { return true; }
    void run(WindowEvents& events) override;

    void setTitle(BytesView titleCp932) override;
    void requestClose() override { closeRequested_ = true; }
    bool closeRequested() const override { return closeRequested_; }
    void present(const FrameView& screen0, Rect r) override;
    std::vector<uint8_t> shownFrame(int& width, int& height) override;

    int32_t messageBox(BytesView text, BytesView caption, MsgButtons buttons,
                       MsgIcon icon) override;
    // Answers come from the answer list as UTF-8 lines (one per field); without one a field
    // keeps the text it starts with, and a box shown again gets no answer at all.
    std::optional<Bytes> inputBox(const InputBoxRequest& r) override;
    std::optional<std::array<Bytes, 4>> inputBox2(const InputBox2Request& r) override;
    // No desktop to hand documents to: the request is only logged ("exec: open TARGET").
    int openWithShell(const std::string& targetUtf8, const std::filesystem::path& cwd) override;
    // Logs each list line as a dialog line "メッセージ履歴: LINE".
    void showHistory(const std::vector<Bytes>& lines) override;

    // Answers for the coming dialogs, in order (UTF-8 lines as given to --answers).
    void setAnswers(std::vector<std::string> answers);
    // Takes the next answer, if any is left.
    std::optional<std::string> nextAnswer();
    // Every dialog shown, one UTF-8 line each: "CAPTION: TEXT" with line feeds written as \n.
    std::vector<std::string> dialogLog();
    void logDialog(BytesView caption, BytesView text);
    // Also write each dialog line to stderr as "dialog: CAPTION: TEXT".
    void setEchoDialogs(bool on) { echo_ = on; }

    // The pointer: moved by the keyboard's choice navigation and by scheduled clicks.
    void warpMouse(int x, int y) override {
        pointerX_ = x;
        pointerY_ = y;
    }
    int pointerX() const { return pointerX_; }
    int pointerY() const { return pointerY_; }

    const std::string& titleUtf8() const { return title_; }
    int presentCount() const { return presents_; }

private:
    ManualClock clock_;
    std::atomic<bool> closeRequested_{false};
    std::mutex mutex_;
    std::deque<std::string> answers_;
    std::vector<std::string> log_;
    bool echo_ = false;
    std::string title_;
    std::vector<uint8_t> frame_;
    int frameW_ = 0, frameH_ = 0;
    std::atomic<int> presents_{0};
    std::atomic<int> pointerX_{0}, pointerY_{0};
};

}  // namespace yv
