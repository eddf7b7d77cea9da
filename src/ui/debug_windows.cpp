// The debug windows' model: rows and their formats, the preview's areas and paging, closing.
#include "ui/debug_windows.h"

#include <cstdio>
#include <utility>

#include "core/cp932.h"

namespace yv::ui {
namespace {

std::string format(const char* f, int32_t v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, static_cast<int>(v));
    return buf;
}

}  // namespace

// ---------------------------------------------------------------- variable monitor

VariableMonitor::VariableMonitor(DebugTap& tap, const std::atomic<int32_t>& stepsPerSecond,
                                 std::vector<SettingLine> settings)
    : tap_(tap), stepsPerSecond_(stepsPerSecond), settings_(std::move(settings)) {}

void VariableMonitor::setOpen(bool open) {
    open_ = open;
    tap_.monitorOn = open;
    tap_.active = tap_.monitorOn || tap_.previewOn;
    updateTraceSwitch();
    if (open) {
        seenVersion_ = -1;  // the first copy fills every row
        ask();
    } else {
        setPaused(false);  // a closed monitor could never resume the game
    }
}

void VariableMonitor::updateTraceSwitch() { tap_.traceOn = open_ && mode_ == MonitorMode::Watch; }

void VariableMonitor::setMode(MonitorMode m) {
    mode_ = m;
    updateTraceSwitch();
    refresh();
}

void VariableMonitor::refresh() {
    seenVersion_ = -1;
    ask();
    take();
}

void VariableMonitor::ask() {
    if (open_) tap_.wantVariables = 1;
}

void VariableMonitor::take() {
    if (!open_) return;
    takeVariables(seenVersion_ < 0);
    if (mode_ == MonitorMode::Watch) {
        std::vector<TraceLine> fresh = tap_.traceSince(traceSeq_);
        if (!fresh.empty()) {
            traceSeq_ = fresh.back().seq;
            for (TraceLine& l : fresh) trace_.push_back(std::move(l));
            while (trace_.size() > static_cast<size_t>(kTraceKept)) trace_.pop_front();
            traceGrown_ = true;
        }
    }
}

void VariableMonitor::takeVariables(bool all) {
    MutexLock lock(tap_.mutex);
    DebugTap::Variables& v = tap_.vars;
    if (all || v.fullRefresh) {
        ints_ = v.ints;
        strings_ = v.strings;
    } else if (v.news) {
        for (const int32_t i : v.changed) ints_[static_cast<size_t>(i)] = v.ints[static_cast<size_t>(i)];
        if (v.stringNews) strings_ = v.strings;
    }
    v.changed.clear();
    v.news = v.stringNews = v.fullRefresh = false;
    seenVersion_ = v.version;
}

std::array<const char*, 3> VariableMonitor::columns() const {
    switch (mode_) {
    case MonitorMode::Integers: return {"変数番号", "変数値", "使用変数"};
    case MonitorMode::Strings: return {"変数番号", "変数文字列", "使用変数"};
    case MonitorMode::Watch: return {"実行行数", "実行中の命令文", "使用変数"};
    case MonitorMode::Settings: return {"行", "設定文", "使用変数"};
    }
    return {"", "", ""};
}

size_t VariableMonitor::rowCount() const {
    switch (mode_) {
    case MonitorMode::Integers: return kDebugIntCount;
    case MonitorMode::Strings: return kDebugStrCount;
    case MonitorMode::Watch: return trace_.size();
    case MonitorMode::Settings: return settings_.size();
    }
    return 0;
}

MonitorRow VariableMonitor::row(size_t i) const {
    MonitorRow r;
    if (i >= rowCount()) return r;
    switch (mode_) {
    case MonitorMode::Integers: {
        const int32_t v = ints_[i];
        r.cells[0] = format("%10d", static_cast<int32_t>(i));
        r.cells[1] = format("%20d", v);
        r.cells[2] = v != 0 ? "●" : "";
        break;
    }
    case MonitorMode::Strings: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%10d (%c)", static_cast<int>(i), static_cast<char>(0x41 + i));
        r.cells[0] = buf;
        r.cells[1] = cp932ToUtf8(strings_[i]);
        r.cells[2] = strings_[i].empty() ? "" : "●";
        break;
    }
    case MonitorMode::Watch: {
        const TraceLine& l = trace_[i];
        r.cells[0] = l.where;
        r.cells[1] = l.statement;
        r.cells[2] = l.variables;
        break;
    }
    case MonitorMode::Settings: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%3d, ", static_cast<int>(i + 1));
        r.cells[0] = buf + settings_[i].label;
        r.cells[1] = settings_[i].text;
        break;
    }
    }
    return r;
}

std::string VariableMonitor::rateText() const { return format("FPS = %3d", stepsPerSecond_.load()); }

void VariableMonitor::setPaused(bool on) {
    tap_.paused = on ? 1 : 0;
    if (!on) tap_.stepGrant = 0;
}

void VariableMonitor::stepOne() {
    if (tap_.paused) tap_.stepGrant = 1;
}

std::string VariableMonitor::heldAt() {
    MutexLock lock(tap_.mutex);
    return tap_.heldAt;
}

bool VariableMonitor::takeTraceGrown() { return std::exchange(traceGrown_, false); }

// ---------------------------------------------------------------- screen preview

ScreenPreview::ScreenPreview(DebugTap& tap) : tap_(tap) {}

std::array<ScreenPreview::Area, ScreenPreview::kAreaCount> ScreenPreview::areas() const {
    std::array<Area, kAreaCount> a;
    a[0] = {11, 95, "直接描画画面", "", -1};
    a[1] = {185, 95, "テキスト用画面", "- * -", -2};
    a[2] = {358, 95, "実画面", "ﾌﾟﾗｲﾏﾘｻｰﾌｪｲｽ\n- 0 -", 0};
    a[3] = {11, 260, "", "ﾊﾞｯｸｻｰﾌｪｲｽ\n- 1 -", 1};
    static const int kX[] = {185, 358, 11, 185, 358};
    static const int kY[] = {260, 260, 426, 426, 426};
    for (int k = 0; k < 5; ++k) {
        const int n = offset_ + 2 + k;
        a[static_cast<size_t>(4 + k)] = {kX[k], kY[k], "", "- " + std::to_string(n) + " -", n};
    }
    return a;
}

std::vector<uint8_t> ScreenPreview::stretch(const uint8_t* bgr, int w, int h) {
    std::vector<uint8_t> out(static_cast<size_t>(kPreviewW) * kPreviewH * 3, 0);
    if (!bgr || w <= 0 || h <= 0) return out;
    for (int y = 0; y < kPreviewH; ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y) * h / kPreviewH);
        const uint8_t* row = bgr + static_cast<size_t>(h - 1 - sy) * static_cast<size_t>(w) * 3;
        for (int x = 0; x < kPreviewW; ++x) {
            const int sx = static_cast<int>(static_cast<int64_t>(x) * w / kPreviewW);
            uint8_t* o = out.data() + (static_cast<size_t>(y) * kPreviewW + x) * 3;
            o[0] = row[sx * 3 + 2];
            o[1] = row[sx * 3 + 1];
            o[2] = row[sx * 3 + 0];
        }
    }
    return out;
}

void ScreenPreview::setOpen(bool open) {
    open_ = open;
    tap_.previewOn = open;
    tap_.active = tap_.monitorOn || tap_.previewOn;
    ticked_ = false;
}

void ScreenPreview::page(int32_t offset) {
    offset_ = offset;
    blackUndrawn_ = true;
    ticked_ = false;  // drawn at the next pass, not after the rest of the period
}

void ScreenPreview::refresh() { ticked_ = false; }

void ScreenPreview::ask(uint32_t nowMs, const WindowPicture& windowPicture) {
    if (!open_) return;
    if (ticked_ && nowMs - lastTickMs_ < kPeriodMs) return;
    ticked_ = true;
    lastTickMs_ = nowMs;
    tap_.previewOffset = offset_;
    tap_.wantScreens = 1;
    // The window picture is the window thread's own: drawn at every pass.
    if (windowPicture) {
        int w = 0, h = 0;
        const std::vector<uint8_t> frame = windowPicture(w, h);
        if (!frame.empty() && frame.size() >= static_cast<size_t>(w) * static_cast<size_t>(h) * 3) {
            pictures_[0] = stretch(frame.data(), w, h);
            ++version_;
        }
    }
}

void ScreenPreview::take() {
    if (!open_) return;
    MutexLock lock(tap_.mutex);
    if (tap_.previewVersion == seenVersion_) return;
    // Pictures made for another page are not this page's; the next pass asks again.
    if (tap_.previewsFor != offset_) return;
    seenVersion_ = tap_.previewVersion;
    for (int slot = 0; slot < kPreviewSlots; ++slot) {
        const size_t area = static_cast<size_t>(slot + 2);
        const int screen = slot < 2 ? slot : offset_ + slot;
        const PreviewPicture& p = tap_.previews[static_cast<size_t>(slot)];
        if (screen <= 257 && p.drawn) {
            pictures_[area] = p.rgb;
            ++version_;
        } else if (screen > 257 || blackUndrawn_) {
            pictures_[area].assign(static_cast<size_t>(kPreviewW) * kPreviewH * 3, 0);
            ++version_;
        }
    }
    blackUndrawn_ = false;
}

// ---------------------------------------------------------------- both windows

DebugWindows::DebugWindows(DebugTap& tap, const std::atomic<int32_t>& stepsPerSecond,
                           std::vector<SettingLine> settings, bool endMessage)
    : monitor(tap, stepsPerSecond, std::move(settings)), preview(tap), endMessage_(endMessage) {}

void DebugWindows::open(Which w, bool on) {
    if (w == kMonitor)
        monitor.setOpen(on);
    else
        preview.setOpen(on);
    if (!on) asking_[w] = false;
}

void DebugWindows::askClose(Which w) {
    if (!isOpen(w)) return;
    if (endMessage_)
        asking_[w] = true;
    else
        open(w, false);
}

void DebugWindows::answerClose(Which w, bool yes) {
    asking_[w] = false;
    if (yes) open(w, false);
}

void DebugWindows::closeAll() {
    open(kMonitor, false);
    open(kPreview, false);
}

void DebugWindows::tick(uint32_t nowMs, const ScreenPreview::WindowPicture& windowPicture) {
    monitor.ask();
    preview.ask(nowMs, windowPicture);
    if (serveWhenIdle && anyOpen()) serveWhenIdle();
    monitor.take();
    preview.take();
}

}  // namespace yv::ui
