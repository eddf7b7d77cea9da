// The script author's debug windows as data: the variable monitor "Debug Window ver 0.1" (its
// modes, rows, rate line and the watch mode's trace) and the screen preview "Debug FuncPreview
// Window ver 0.1" (nine areas, paging), and the close question. The window thread draws this
// model; it reads the interpreter only through the debug tap's copies.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "lang/debug_tap.h"

namespace yv::ui {

// Mode button ids of the monitor.
enum class MonitorMode : int32_t { Integers = 1001, Strings = 1002, Watch = 1003, Settings = 1005 };

// One line of the settings listing (UTF-8): a section ("[FONT]") or a key with its setting.
struct SettingLine {
    std::string label;
    std::string text;
};

struct MonitorRow {
    std::string cells[3];
};

class VariableMonitor {
public:
    VariableMonitor(DebugTap& tap, const std::atomic<int32_t>& stepsPerSecond, std::vector<SettingLine> settings);

    static constexpr const char* kCaption = "Debug Window ver 0.1";

    MonitorMode mode() const { return mode_; }
    // A mode button: the columns laid out anew and the list filled anew.
    void setMode(MonitorMode m);
    // "更新": the list filled anew from a fresh copy.
    void refresh();
    // The monitor's timer (the window thread, every frame): asks the interpreter for copies,
    // then takes what has come (tick does both).
    void ask();
    void take();
    void tick() { ask(), take(); }

    std::array<const char*, 3> columns() const;
    size_t rowCount() const;
    // Rows are formatted when drawn, so only the visible ones cost anything.
    MonitorRow row(size_t i) const;
    // "FPS = %3d" from the steps-per-second counter.
    std::string rateText() const;

    // Watch mode: pause and resume the interpreter between statements, run one statement.
    bool paused() const { return tap_.paused != 0; }
    bool holding() const { return tap_.holding.load(); }
    void setPaused(bool on);
    void stepOne();
    std::string heldAt();
    // Rows of the watch list changed since the last look (the list scrolls to its end).
    bool takeTraceGrown();

    // The window opens or goes: what the interpreter must do for it.
    void setOpen(bool open);
    bool isOpen() const { return open_; }
    // Integer and string values as the monitor holds them (tests).
    int32_t intValue(int i) const { return ints_[static_cast<size_t>(i)]; }

private:
    void takeVariables(bool all);
    void updateTraceSwitch();

    DebugTap& tap_;
    const std::atomic<int32_t>& stepsPerSecond_;
    std::vector<SettingLine> settings_;
    MonitorMode mode_ = MonitorMode::Integers;
    bool open_ = false;
    int32_t seenVersion_ = -1;
    std::array<int32_t, kDebugIntCount> ints_{};
    std::array<Bytes, kDebugStrCount> strings_;
    std::deque<TraceLine> trace_;
    uint64_t traceSeq_ = 0;
    bool traceGrown_ = false;
};

class ScreenPreview {
public:
    explicit ScreenPreview(DebugTap& tap);

    static constexpr const char* kCaption = "Debug FuncPreview Window ver 0.1";
    static constexpr int kAreaCount = 9;
    static constexpr uint32_t kPeriodMs = 100;

    struct Area {
        int x = 0, y = 0;        // client-area pixels; each area is 168 x 128
        std::string frame;       // the frame's title (top row), UTF-8
        std::string label;       // the caption under the picture
        int screen = -2;         // -1 the window picture, -2 none, else the screen number
    };
    std::array<Area, kAreaCount> areas() const;
    // The area's picture, 168 x 128 top-down RGB; empty while nothing was drawn there.
    const std::vector<uint8_t>& picture(int area) const { return pictures_[static_cast<size_t>(area)]; }
    // Counts every change of a picture (the window uploads them then).
    uint64_t version() const { return version_; }

    int32_t offset() const { return offset_; }
    // Paging: "始端", "前へ", "次へ", "終端".
    void first() { page(0); }
    void previous() { page(std::max(0, offset_ - 5)); }
    void next() { page(std::min(258, offset_ + 5)); }
    void last() { page(253); }
    // "更新": every area drawn now.
    void refresh();

    // The preview's timer: every 100 ms the screens are asked for; `windowPicture` gives the
    // picture the window shows (24-bit bottom-up BGR) for the first area.
    using WindowPicture = std::function<std::vector<uint8_t>(int& width, int& height)>;
    void ask(uint32_t nowMs, const WindowPicture& windowPicture);
    // Takes what the interpreter has made.
    void take();
    void tick(uint32_t nowMs, const WindowPicture& windowPicture) { ask(nowMs, windowPicture), take(); }

    void setOpen(bool open);
    bool isOpen() const { return open_; }

    // A 24-bit bottom-up BGR picture stretched into an area's 168 x 128 top-down RGB.
    static std::vector<uint8_t> stretch(const uint8_t* bgrBottomUp, int width, int height);

private:
    void page(int32_t offset);

    DebugTap& tap_;
    bool open_ = false;
    int32_t offset_ = 0;
    bool blackUndrawn_ = false;  // after paging: areas whose screen is not drawn go black
    int32_t seenVersion_ = 0;
    uint32_t lastTickMs_ = 0;
    bool ticked_ = false;
    uint64_t version_ = 0;
    std::array<std::vector<uint8_t>, kAreaCount> pictures_;
};

// Both windows, their switches and the close question.
class DebugWindows {
public:
    DebugWindows(DebugTap& tap, const std::atomic<int32_t>& stepsPerSecond, std::vector<SettingLine> settings,
                 bool endMessage);

    enum Which { kMonitor = 0, kPreview = 1 };
    static constexpr const char* kCloseQuestion = "デバッグウィンドウを終了してよろしいですか？";

    VariableMonitor monitor;
    ScreenPreview preview;

    void open(Which w, bool on);
    bool isOpen(Which w) const { return w == kMonitor ? monitor.isOpen() : preview.isOpen(); }
    // The window's close box: asks first when EndMessage is set.
    void askClose(Which w);
    bool asking(Which w) const { return asking_[w]; }
    std::string questionCaption(Which w) const { return w == kMonitor ? VariableMonitor::kCaption : ScreenPreview::kCaption; }
    // Yes closes the window (its switch becomes 0), No keeps it.
    void answerClose(Which w, bool yes);
    // The main window closes: both go without asking.
    void closeAll();
    // Whether anything is open (the window loop keeps drawing while so).
    bool anyOpen() const { return monitor.isOpen() || preview.isOpen(); }
    // One pass of both windows' timers (window thread).
    void tick(uint32_t nowMs, const ScreenPreview::WindowPicture& windowPicture);

    // When the interpreter thread has ended, the window thread serves the copies itself.
    std::function<void()> serveWhenIdle;

private:
    bool endMessage_;
    bool asking_[2] = {false, false};
};

}  // namespace yv::ui
