// Headless platform: no window, deterministic time, scripted dialog answers.
#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "core/cp932.h"
#include "platform/audio/audio_engine.h"
#include "platform/audio/wav_writer.h"
#include "platform/key_names.h"

namespace yv {
namespace {

std::string escapeLineFeeds(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else if (c != '\r')
            out += c;
    }
    return out;
}

std::string lowerAsciiUtf8(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

// The typed text as the field would hold it: CP932, cut at the field's limit without splitting
// a double-byte character.
Bytes typed(const std::string& utf8, int32_t maxLength) {
    Bytes t = utf8ToCp932(utf8);
    if (maxLength <= 0 || t.size() <= static_cast<size_t>(maxLength)) return t;
    size_t cut = 0;
    while (cut < t.size()) {
        const size_t len = (isLeadByte(static_cast<unsigned char>(t[cut])) && cut + 1 < t.size()) ? 2 : 1;
        if (cut + len > static_cast<size_t>(maxLength)) break;
        cut += len;
    }
    t.resize(cut);
    return t;
}

}  // namespace

// The headless sound device: the mix is pulled in 10 ms pieces as the clock passes them, so a
// run sounds the same every time.
struct HeadlessPlatform::Sound {
    static constexpr size_t kFrames = audio::kRate / 100;
    audio::AudioEngine engine;
    Mutex mutex;  // the tick function and the writer
    std::function<void()> tick YV_GUARDED_BY(mutex);
    bool tickScheduled YV_GUARDED_BY(mutex) = false;
    audio::WavWriter writer YV_GUARDED_BY(mutex);
    float buffer[kFrames * 2];

    void pull() {
        engine.pull(buffer, kFrames);
        MutexLock lock(mutex);
        if (writer.isOpen()) writer.write(buffer, kFrames);
    }
    void runTick() {
        std::function<void()> t;
        {
            MutexLock lock(mutex);
            t = tick;
        }
        if (t) t();
    }
};


HeadlessPlatform::HeadlessPlatform() : loopThread_(std::this_thread::get_id()) {}

HeadlessPlatform::~HeadlessPlatform() {
    MutexLock lock(loopMutex_);
    loopEnded_ = true;
    loopCv_.notifyAll();
}

namespace {
// How often the loop looks at onIdle when nothing arrives (the --max-seconds real-time limit).
constexpr auto kIdleLook = std::chrono::milliseconds(20);
}  // namespace

audio::Mixer* HeadlessPlatform::audio() {
    MutexLock lock(mutex_);
    if (!sound_) {
        sound_ = std::make_unique<Sound>();
        Sound* s = sound_.get();
        s->engine.usePull();
        clock_.schedule(clock_.nowPreciseMs() + 10, [s] { s->pull(); }, 10);
    }
    return &sound_->engine;
}

void HeadlessPlatform::setAudioTick(std::function<void()> tick) {
    audio();
    Sound* s = sound_.get();
    bool schedule = false;
    {
        MutexLock lock(s->mutex);
        s->tick = std::move(tick);
        schedule = s->tick && !s->tickScheduled;
        if (schedule) s->tickScheduled = true;
    }
    if (schedule) clock_.schedule(clock_.nowPreciseMs() + 100, [s] { s->runTick(); }, 100);
}

bool HeadlessPlatform::setAudioOut(const std::filesystem::path& file) {
    audio();
    MutexLock lock(sound_->mutex);
    return sound_->writer.open(file);
}

void HeadlessPlatform::showVideo(const FrameView& picture, std::span<const Rect> at) {
    MutexLock lock(mutex_);
    for (const Rect& r : at) picture_.lay(picture, r);
}

void HeadlessPlatform::setVideoTimer(int32_t periodMs, std::function<void()> tick) {
    uint64_t generation = 0;
    {
        MutexLock lock(videoMutex_);
        videoTick_ = std::move(tick);
        generation = ++videoGeneration_;
        if (!videoTick_) return;
    }
    const double period = std::max(1, periodMs);
    scheduleVideoTick(generation, clock_.nowPreciseMs() + period, period);
}

void HeadlessPlatform::scheduleVideoTick(uint64_t generation, double atMs, double periodMs) {
    // One event at a time, each scheduling the next: a replaced timer's last event finds its
    // generation gone and ends the chain.
    clock_.schedule(atMs, [this, generation, atMs, periodMs] {
        std::function<void()> tick;
        {
            MutexLock lock(videoMutex_);
            if (generation != videoGeneration_) return;
            tick = videoTick_;
        }
        tick();
        {
            MutexLock lock(videoMutex_);
            if (generation != videoGeneration_) return;
        }
        scheduleVideoTick(generation, atMs + periodMs, periodMs);
    });
}

void HeadlessPlatform::showVolumeDialog(VolumeDialogModel& m) {
    int32_t percent = 0;
    bool muted = false;
    uint16_t wave = 0;
    std::string text = "出力ﾏｽﾀｰ ";
    text += m.masterPercent(percent) ? std::to_string(percent) : std::string("-");
    text += " / 全ﾐｭｰﾄ ";
    text += m.mute(muted) ? (muted ? "on" : "off") : "-";
    text += " / Wave ";
    text += m.waveDevice() && m.waveVolume(wave) ? std::to_string(wave) : std::string("-");
    logDialog(utf8ToCp932("ﾎﾞﾘｭｰﾑ設定"), utf8ToCp932(text));
}

void HeadlessPlatform::run(WindowEvents& events) {
    {
        MutexLock lock(loopMutex_);
        loopThread_ = std::this_thread::get_id();
    }
    for (;;) {
        if (events.onIdle()) break;
        deliverInputs(events);
        deliverPicks(events);
        const bool closing = closeRequested_.exchange(false) && events.onCloseRequest();
        releaseHeldDelivery();
        if (closing) break;
        events.onRedrawn();
        if (events.onIdle()) break;
        MutexLock lock(loopMutex_);
        const auto deadline = std::chrono::steady_clock::now() + kIdleLook;
        while (!woken_ && inputs_.empty() && picks_.empty() && !closeRequested_.load())
            if (loopCv_.waitUntil(lock, deadline) == std::cv_status::timeout) break;
        woken_ = false;
    }
    MutexLock lock(loopMutex_);
    loopEnded_ = true;
    inputs_.clear();
    loopCv_.notifyAll();
}

void HeadlessPlatform::wakeLoop() {
    MutexLock lock(loopMutex_);
    woken_ = true;
    loopCv_.notifyAll();
}

void HeadlessPlatform::requestClose() {
    closeRequested_ = true;
    wakeLoop();
}

void HeadlessPlatform::deliverInputs(WindowEvents& events) {
    for (;;) {
        InputEvent e;
        {
            MutexLock lock(loopMutex_);
            if (inputs_.empty()) return;
            e = inputs_.front();
            inputs_.pop_front();
        }
        if (e.kind != InputEvent::Kind::Key) warpMouse(e.x, e.y);
        events.onInput(e);
        if (closeRequested_.load()) {
            deliveryHeld_ = true;
            return;
        }
        MutexLock lock(loopMutex_);
        ++delivered_;
        loopCv_.notifyAll();
    }
}

void HeadlessPlatform::releaseHeldDelivery() {
    if (!deliveryHeld_) return;
    deliveryHeld_ = false;
    MutexLock lock(loopMutex_);
    ++delivered_;
    loopCv_.notifyAll();
}

void HeadlessPlatform::postInput(const InputEvent& e) {
    MutexLock lock(loopMutex_);
    if (loopEnded_) return;
    inputs_.push_back(e);
    const uint64_t mine = ++posted_;
    loopCv_.notifyAll();
    // The loop thread itself passes the event on at its next pass; any other thread waits, also
    // while the loop has yet to start (a manual clock may race ahead of it at start-up).
    if (std::this_thread::get_id() == loopThread_) return;
    while (delivered_ < mine && !loopEnded_) loopCv_.wait(lock);
}

void HeadlessPlatform::scheduleInput(double atMs, const InputEvent& e) {
    clock_.schedule(atMs, [this, e] { postInput(e); });
}

void HeadlessPlatform::scheduleClick(double atMs, int x, int y, int button) {
    clock_.schedule(atMs, [this, x, y, button] {
        postInput(InputEvent::move(x, y));
        postInput(InputEvent::mouseButton(button, true, x, y));
    });
}

void HeadlessPlatform::scheduleKey(double atMs, int32_t sdlKey, bool down, bool up) {
    if (windowOnlyKey(sdlKey)) return;
    const int k = gameKeyOf(sdlKey);
    clock_.schedule(atMs, [this, k, down, up] {
        if (down) postInput(InputEvent::keyEvent(k, true));
        if (up) postInput(InputEvent::keyEvent(k, false));
    });
}

void HeadlessPlatform::pickMenu(int32_t id) {
    MutexLock lock(loopMutex_);
    picks_.push_back(id);
    loopCv_.notifyAll();
}

void HeadlessPlatform::deliverPicks(WindowEvents& events) {
    std::vector<int32_t> picks;
    {
        MutexLock lock(loopMutex_);
        picks.swap(picks_);
    }
    for (int32_t id : picks) events.onMenuCommand(id);
}

void HeadlessPlatform::setScreenSize(int width, int height) {
    MutexLock lock(mutex_);
    screenW_ = width;
    screenH_ = height;
}

void HeadlessPlatform::setDesktop(int width, int height, bool fullScreenWorks) {
    MutexLock lock(mutex_);
    desktopW_ = width;
    desktopH_ = height;
    fullWorks_ = fullScreenWorks;
}

void HeadlessPlatform::openPopupMenu(int, int) { ++popupOpens_; }

DisplayModeAnswer HeadlessPlatform::enterFullScreen() {
    if (!fullWorks_) return DisplayModeAnswer::NoSuchMode;
    MutexLock lock(mutex_);
    if (!full_) {
        savedX_ = winX_;
        savedY_ = winY_;
    }
    full_ = true;
    winX_ = winY_ = 0;
    return DisplayModeAnswer::Ok;
}

void HeadlessPlatform::leaveFullScreen(bool center) {
    {
        MutexLock lock(mutex_);
        if (!full_) return;
        full_ = false;
        winX_ = savedX_;
        winY_ = savedY_;
    }
    if (center) centerWindow();
}

bool HeadlessPlatform::windowPosition(int& x, int& y) {
    MutexLock lock(mutex_);
    x = winX_;
    y = winY_;
    return true;
}

bool HeadlessPlatform::moveWindow(int x, int y) {
    MutexLock lock(mutex_);
    winX_ = x;
    winY_ = y;
    return true;
}

bool HeadlessPlatform::centerWindow() {
    MutexLock lock(mutex_);
    // In 64 bits: sizes given by a game may be anything.
    winX_ = static_cast<int>((int64_t{desktopW_} - screenW_) / 2);
    winY_ = static_cast<int>((int64_t{desktopH_} - screenH_) / 2);
    return true;
}

bool HeadlessPlatform::showWindow(int how) {
    const bool was = visible_;
    if (how == 0) visible_ = false;
    else if (how >= 1 && how <= 6) visible_ = true;
    return was;
}

void HeadlessPlatform::setTitle(BytesView titleCp932) {
    MutexLock lock(mutex_);
    title_ = cp932ToUtf8(titleCp932);
}

void HeadlessPlatform::present(const FrameView& s, Rect r) {
    if (!s.pixels || s.width <= 0 || s.height <= 0) return;
    MutexLock lock(mutex_);
    picture_.take(s, r);
    ++presents_;
}

void HeadlessPlatform::setClipboardText(std::string utf8) {
    std::string shown;
    for (const char ch : utf8) shown += ch == '\n' ? std::string("\\n") : std::string(1, ch);
    std::fprintf(stderr, "clipboard: %s\n", shown.c_str());
    MutexLock lock(mutex_);
    clipboard_ = std::move(utf8);
}

void HeadlessPlatform::showHistory(const std::vector<Bytes>& lines) {
    const Bytes caption = utf8ToCp932("メッセージ履歴");
    if (lines.empty()) logDialog(caption, "");
    for (const Bytes& l : lines) logDialog(caption, l);
}

int HeadlessPlatform::loadDialog(const LoadDialogRequest& r) {
    Bytes text = utf8ToCp932("はじめから");
    for (const LoadDialogSlot& s : r.slots)
        if (s.exists) text += "\n" + s.caption;
    logDialog(utf8ToCp932("ろーど"), text);
    const auto a = nextAnswer();
    if (!a) return -1;
    char* end = nullptr;
    const long n = std::strtol(a->c_str(), &end, 10);
    if (a->empty() || *end != '\0' || n < 0 || n >= static_cast<long>(r.slots.size())) return -1;
    // A greyed slot cannot be chosen: the dialog keeps "はじめから".
    return r.slots[static_cast<size_t>(n)].exists ? static_cast<int>(n) : -1;
}

std::vector<uint8_t> HeadlessPlatform::shownFrame(int& width, int& height) {
    MutexLock lock(mutex_);
    width = picture_.width();
    height = picture_.height();
    return picture_.pixels();
}

void HeadlessPlatform::setAnswers(std::vector<std::string> answers) {
    MutexLock lock(mutex_);
    answers_.assign(answers.begin(), answers.end());
}

std::optional<std::string> HeadlessPlatform::nextAnswer() {
    MutexLock lock(mutex_);
    if (answers_.empty()) return std::nullopt;
    std::string a = answers_.front();
    answers_.pop_front();
    return a;
}

std::vector<std::string> HeadlessPlatform::dialogLog() {
    MutexLock lock(mutex_);
    return log_;
}

void HeadlessPlatform::logDialog(BytesView caption, BytesView text) {
    std::string line = escapeLineFeeds(cp932ToUtf8(caption)) + ": " + escapeLineFeeds(cp932ToUtf8(text));
    MutexLock lock(mutex_);
    log_.push_back(line);
    if (echo_) std::fprintf(stderr, "dialog: %s\n", line.c_str());
}

int32_t HeadlessPlatform::messageBox(BytesView text, BytesView caption, MsgButtons buttons,
                                     MsgIcon) {
    logDialog(caption, text);
    struct Choice {
        const char* word;
        int32_t code;
    };
    std::vector<Choice> offered;
    switch (buttons) {
    case MsgButtons::Ok: offered = {{"ok", kIdOk}}; break;
    case MsgButtons::OkCancel: offered = {{"ok", kIdOk}, {"cancel", kIdCancel}}; break;
    case MsgButtons::YesNo: offered = {{"yes", kIdYes}, {"no", kIdNo}}; break;
    case MsgButtons::YesNoCancel:
        offered = {{"yes", kIdYes}, {"no", kIdNo}, {"cancel", kIdCancel}};
        break;
    case MsgButtons::RetryCancel: offered = {{"retry", kIdRetry}, {"cancel", kIdCancel}}; break;
    }
    if (auto a = nextAnswer()) {
        const std::string w = lowerAsciiUtf8(*a);
        for (const Choice& c : offered)
            if (w == c.word) return c.code;
    }
    return offered.front().code;  // the first button, as pressing Enter would
}

std::optional<Bytes> HeadlessPlatform::inputBox(const InputBoxRequest& r) {
    logDialog(r.title, r.prompt);
    if (auto a = nextAnswer()) return typed(*a, r.maxLength);
    if (r.retry) return std::nullopt;
    return r.initial;
}

std::optional<std::array<Bytes, 4>> HeadlessPlatform::inputBox2(const InputBox2Request& r) {
    Bytes labels;
    for (size_t i = 0; i < 4; ++i) {
        if (i) labels += " / ";
        labels += r.labels[i];
    }
    logDialog(r.title, labels);
    std::array<Bytes, 4> out = r.initial;
    bool any = false;
    for (size_t i = 0; i < 4; ++i) {
        if (auto a = nextAnswer()) {
            out[i] = typed(*a, r.maxLengths[i]);
            any = true;
        }
    }
    if (!any && r.retry) return std::nullopt;
    return out;
}

int HeadlessPlatform::openWithShell(const std::string& targetUtf8, const std::filesystem::path&) {
    bool echo = false;
    {
        MutexLock lock(mutex_);
        echo = echo_;
    }
    if (echo) std::fprintf(stderr, "exec: open %s\n", targetUtf8.c_str());
    return 42;
}

}  // namespace yv
