// The debug windows on SDL: a window, renderer and ImGui context each, drawn from the model.
#include "platform/sdl/sdl_renderer_pick.h"
#include "platform/sdl/sdl_debug_windows.h"

#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "core/i18n.h"
#include "platform/sdl/sdl_picture.h"
#include "platform/window_layout.h"
#include "platform/sdl/sdl_ui.h"

namespace yv {
namespace {

constexpr uint32_t kTickMs = 33;   // the monitor's rows and rate, the windows' redraws
constexpr int kSettleFrames = 3;   // frames drawn after input, for ImGui's hover and release
constexpr float kFontPx = 14.0f;
constexpr int kMonitorW = 470, kMonitorH = 620;
constexpr int kPreviewClientW = 537, kPreviewClientH = 590;

const char* kFixedTexts =
    "デバッグ項目変数ウォッチ初期値優先順位常に最上更新一時停止再開1行実行停止中次の命令整数文字列"
    "変数番号変数値使用変数変数文字列実行行数実行中の命令文行設定文●←…"
    "直接描画画面テキスト用画面実画面ﾌﾟﾗｲﾏﾘｻｰﾌｪｲｽﾊﾞｯｸｻｰﾌｪｲｽ始端前へ次へ終端"
    "デバッグウィンドウを終了してよろしいですか？はい(Y)いいえ(N)";

uint32_t eventWindow(const SDL_Event& e) {
    switch (e.type) {
    case SDL_WINDOWEVENT: return e.window.windowID;
    case SDL_MOUSEMOTION: return e.motion.windowID;
    case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: return e.button.windowID;
    case SDL_MOUSEWHEEL: return e.wheel.windowID;
    case SDL_KEYDOWN: case SDL_KEYUP: return e.key.windowID;
    case SDL_TEXTINPUT: return e.text.windowID;
    case SDL_TEXTEDITING: return e.edit.windowID;
    default: return 0;
    }
}

uint32_t nextCodepoint(const std::string& s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + static_cast<size_t>(n) > s.size()) n = 1;
    uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += static_cast<size_t>(n);
    return cp;
}

// The ImGui context of one window is current only inside this scope; the game window's UI
// finds its own context again afterwards.
class ContextScope {
public:
    explicit ContextScope(ImGuiContext* c) : prev_(ImGui::GetCurrentContext()) { ImGui::SetCurrentContext(c); }
    ~ContextScope() { ImGui::SetCurrentContext(prev_); }
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ImGuiContext* prev_;
};

}  // namespace

struct SdlDebugWindows::Win {
    int which = 0;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    ImGuiContext* ctx = nullptr;
    uint32_t id = 0;
    int mouseX = -1, mouseY = -1;
    bool inside = false;
    bool down[3] = {false, false, false};
    bool pressed[3] = {false, false, false};
    int settle = kSettleFrames;
    bool topMost = false;
    std::array<SDL_Texture*, ui::ScreenPreview::kAreaCount> textures{};
    uint64_t uploaded = ~uint64_t{0};
    ImVector<ImWchar> ranges;  // must outlive the atlas
    std::string extraText;
    std::set<uint32_t> extraChars;
    bool fontDirty = false;
    bool stickToEnd = true;
    std::map<std::string, SDL_Rect> rects;
    bool capture = false;
    std::vector<uint8_t> shot;
    int shotW = 0, shotH = 0;

    void record(const std::string& label) {
        const ImVec2 a = ImGui::GetItemRectMin(), b = ImGui::GetItemRectMax();
        rects[label] = {static_cast<int>(a.x), static_cast<int>(a.y), static_cast<int>(b.x - a.x),
                        static_cast<int>(b.y - a.y)};
    }
    // Notes characters the font lacks; the atlas is rebuilt after the frame.
    void need(const std::string& s) {
        ImFont* font = ImGui::GetFont();
        for (size_t i = 0; i < s.size();) {
            const uint32_t cp = nextCodepoint(s, i);
            if (cp < 0x20 || cp > 0xFFFF || extraChars.count(cp)) continue;
            if (!font->FindGlyphNoFallback(static_cast<ImWchar>(cp))) {
                extraChars.insert(cp);
                extraText.append(s);
                fontDirty = true;
                return;
            }
        }
    }
};

namespace {

void buildFont(SdlDebugWindows::Win& w, const std::string& fontFile, int scale) {
    ImGuiIO& io = ImGui::GetIO();
    io.Fonts->Clear();
    ImFontGlyphRangesBuilder b;
    b.AddRanges(io.Fonts->GetGlyphRangesJapanese());
    b.AddText(kFixedTexts);
    b.AddText(w.extraText.c_str());
    w.ranges.clear();
    b.BuildRanges(&w.ranges);
    ImFont* f = nullptr;
    if (!fontFile.empty()) f = io.Fonts->AddFontFromFileTTF(fontFile.c_str(), kFontPx * static_cast<float>(scale), nullptr, w.ranges.Data);
    if (!f) io.Fonts->AddFontDefault();
    io.Fonts->Build();
}

}  // namespace

SdlDebugWindows::SdlDebugWindows() = default;

SdlDebugWindows::~SdlDebugWindows() {
    closeWindow(0);
    closeWindow(1);
}

void SdlDebugWindows::setModel(ui::DebugWindows* model) {
    model_ = model;
    if (!model_) {
        closeWindow(0);
        closeWindow(1);
    }
}

bool SdlDebugWindows::openWindow(int which) {
    auto w = std::make_unique<Win>();
    w->which = which;
    const bool monitor = which == ui::DebugWindows::kMonitor;
    const int ww = (monitor ? kMonitorW : kPreviewClientW) * scale_, wh = (monitor ? kMonitorH : kPreviewClientH) * scale_;
    // Beside the game window, never over its picture, and clear of the other debug window where
    // the desktop has room: the monitor preferably to its right, the preview to its left. The
    // window manager's frames count (the debug windows get frames like the game's).
    int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED;
    if (mainWindow_) {
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(mainWindow_, &top, &left, &bottom, &right) != 0) top = left = bottom = right = 0;
        auto outer = [&](SDL_Window* win) {
            Rect r;
            SDL_GetWindowPosition(win, &r.x, &r.y);
            SDL_GetWindowSize(win, &r.w, &r.h);
            return Rect{r.x - left, r.y - top, r.w + left + right, r.h + top + bottom};
        };
        SDL_Rect b{0, 0, 0, 0};
        SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(mainWindow_)), &b);
        std::vector<Rect> others;
        if (const Win* other = wins_[static_cast<size_t>(1 - which)].get()) others.push_back(outer(other->window));
        const ToolSpot spot = placeToolWindow({b.x, b.y, b.w, b.h}, outer(mainWindow_), ww + left + right,
                                              wh + top + bottom, others, monitor);
        if (spot.found) {
            // A window that exists is placed by its client area; a new one is placed by its frame
            // (the window manager puts the frame where it was asked to open).
            if (spot.moveGame) SDL_SetWindowPosition(mainWindow_, spot.gameX + left, spot.gameY + top);
            x = spot.x;
            y = spot.y;
        }
    }
    w->window = SDL_CreateWindow(monitor ? ui::VariableMonitor::kCaption : ui::ScreenPreview::kCaption, x, y, ww, wh,
                                 SDL_WINDOW_ALLOW_HIGHDPI | (monitor ? SDL_WINDOW_RESIZABLE : 0));
    if (!w->window) return false;
    // No vertical sync: the game window's present already paces the loop.
    w->renderer = sdl::createWindowRenderer(w->window, false);
    if (!w->renderer) {
        SDL_DestroyWindow(w->window);
        return false;
    }
    w->id = SDL_GetWindowID(w->window);
    {
        // (A first context would make itself current: the game window's stays current.)
        ContextScope keep(ImGui::GetCurrentContext());
        w->ctx = ImGui::CreateContext();
    }
    {
        ContextScope scope(w->ctx);
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.LogFilename = nullptr;
        // The game's cursor (its .cur file, showcursor) belongs to the game window.
        io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
        ImGui::StyleColorsLight();
        ImGui::GetStyle().WindowRounding = 0;
        if (scale_ > 1) ImGui::GetStyle().ScaleAllSizes(static_cast<float>(scale_));
        if (fontFile_.empty()) fontFile_ = findUiFontFile();
        buildFont(*w, fontFile_, scale_);
        ImGui_ImplSDL2_InitForSDLRenderer(w->window);
        ImGui_ImplSDLRenderer_Init(w->renderer);
    }
    wins_[static_cast<size_t>(which)] = std::move(w);
    return true;
}

void SdlDebugWindows::closeWindow(int which) {
    std::unique_ptr<Win> w = std::move(wins_[static_cast<size_t>(which)]);
    if (!w) return;
    for (SDL_Texture* t : w->textures)
        if (t) SDL_DestroyTexture(t);
    if (w->ctx) {
        ContextScope scope(w->ctx);
        ImGui_ImplSDLRenderer_Shutdown();
        ImGui_ImplSDL2_Shutdown();
    }
    if (w->ctx) ImGui::DestroyContext(w->ctx);
    if (w->renderer) SDL_DestroyRenderer(w->renderer);
    if (w->window) SDL_DestroyWindow(w->window);
}

bool SdlDebugWindows::takeEvent(const SDL_Event& e) {
    const uint32_t id = eventWindow(e);
    if (!id) return false;
    for (int k = 0; k < 2; ++k) {
        Win* w = wins_[static_cast<size_t>(k)].get();
        if (!w || w->id != id) continue;
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
            if (model_) model_->askClose(static_cast<ui::DebugWindows::Which>(k));
        } else {
            ContextScope scope(w->ctx);
            ImGui_ImplSDL2_ProcessEvent(&e);
        }
        switch (e.type) {
        case SDL_MOUSEMOTION:
            w->mouseX = e.motion.x, w->mouseY = e.motion.y, w->inside = true;
            break;
        case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: {
            w->mouseX = e.button.x, w->mouseY = e.button.y, w->inside = true;
            const int b = e.button.button == SDL_BUTTON_LEFT ? 0 : e.button.button == SDL_BUTTON_RIGHT ? 1 : 2;
            w->down[b] = e.type == SDL_MOUSEBUTTONDOWN;
            if (w->down[b]) w->pressed[b] = true;
            break;
        }
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_LEAVE) w->inside = false;
            if (e.window.event == SDL_WINDOWEVENT_ENTER) w->inside = true;
            break;
        default: break;
        }
        w->settle = kSettleFrames;
        return true;
    }
    // SDL sends SDL_QUIT only when the last window closes: the game window's close box must
    // still close the game while debug windows are open.
    if (anyShown() && e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        return true;
    }
    return false;
}

int SdlDebugWindows::msUntilDue(uint32_t nowMs) const {
    bool any = false;
    for (int k = 0; k < 2; ++k) {
        const bool want = model_ && model_->isOpen(static_cast<ui::DebugWindows::Which>(k));
        const Win* w = wins_[static_cast<size_t>(k)].get();
        if (want && !w) return std::max(0, static_cast<int32_t>(openNotBefore_ - nowMs));
        if (!want && w) return 0;
        if (w && w->settle > 0) return 0;
        any |= w != nullptr;
    }
    if (!any) return -1;
    if (!ticked_) return 0;
    const uint32_t since = nowMs - lastTickMs_;
    return since >= kTickMs ? 0 : static_cast<int>(kTickMs - since);
}

void SdlDebugWindows::frame(uint32_t nowMs, const ui::ScreenPreview::WindowPicture& windowPicture) {
    for (int k = 0; k < 2; ++k) {
        const bool want = model_ && model_->isOpen(static_cast<ui::DebugWindows::Which>(k));
        const bool held = static_cast<int32_t>(openNotBefore_ - nowMs) > 0;
        if (want && !held && !wins_[static_cast<size_t>(k)] && !openWindow(k)) {
            std::fprintf(stderr, "yorvane: %s\n", i18n::trf("cannot open a debug window (%s)", {SDL_GetError()}).c_str());
            model_->open(static_cast<ui::DebugWindows::Which>(k), false);
        }
        if (!want && wins_[static_cast<size_t>(k)]) closeWindow(k);
    }
    if (!anyShown()) return;
    const bool due = !ticked_ || nowMs - lastTickMs_ >= kTickMs;
    if (due) {
        model_->tick(nowMs, windowPicture);
        lastTickMs_ = nowMs;
        ticked_ = true;
    }
    for (int k = 0; k < 2; ++k) {
        Win* w = wins_[static_cast<size_t>(k)].get();
        if (w && (due || w->settle > 0)) draw(k, nowMs);
    }
}

void SdlDebugWindows::draw(int which, uint32_t) {
    Win& w = *wins_[static_cast<size_t>(which)];
    ContextScope scope(w.ctx);
    if (w.fontDirty) {
        w.fontDirty = false;
        ImGui_ImplSDLRenderer_DestroyFontsTexture();
        buildFont(w, fontFile_, scale_);
        ImGui_ImplSDLRenderer_CreateFontsTexture();
    }
    if (w.settle > 0) --w.settle;
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    // The pointer and buttons as this window's own events left them: the backend reads the
    // global mouse state, which a click in the game window would otherwise lend to this one.
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = w.inside ? ImVec2(static_cast<float>(w.mouseX), static_cast<float>(w.mouseY))
                           : ImVec2(-FLT_MAX, -FLT_MAX);
    for (int b = 0; b < 3; ++b) {
        io.MouseDown[b] = w.down[b] || w.pressed[b];
        w.pressed[b] = false;
    }
    ImGui::NewFrame();
    w.rects.clear();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin(which == ui::DebugWindows::kMonitor ? "##monitor" : "##preview", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);
    if (which == ui::DebugWindows::kMonitor)
        drawMonitor(w);
    else
        drawPreview(w);
    drawCloseQuestion(w, which);
    ImGui::End();
    ImGui::Render();
    SDL_SetRenderDrawColor(w.renderer, 240, 240, 240, 255);
    SDL_RenderClear(w.renderer);
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    if (w.capture) {
        readRendererPixels(w.renderer, w.shot, w.shotW, w.shotH);
        w.capture = false;
    }
    SDL_RenderPresent(w.renderer);
}

void SdlDebugWindows::drawMonitor(Win& w) {
    ui::VariableMonitor& m = model_->monitor;
    using ui::MonitorMode;
    ImGui::TextUnformatted("デバッグ項目");
    const MonitorMode mode = m.mode();
    struct ModeButton {
        const char* label;
        const char* key;
        const char* tip;
        MonitorMode mode;
    };
    static const ModeButton kModes[] = {
        {"変数##1001", "変数(1001)", "整数 @0 .. @2020", MonitorMode::Integers},
        {"変数##1002", "変数(1002)", "文字列 @A .. @z", MonitorMode::Strings},
        {"ウォッチ##1003", "ウォッチ", "実行中の命令文", MonitorMode::Watch},
        {"初期値##1005", "初期値", "start.ini / _$debug", MonitorMode::Settings},
    };
    for (const ModeButton& b : kModes) {
        if (b.mode != MonitorMode::Integers) ImGui::SameLine();
        if (ImGui::RadioButton(b.label, mode == b.mode) && mode != b.mode) m.setMode(b.mode);
        if (ImGui::IsItemHovered()) ImGui::SetTooltip("%s", b.tip);
        w.record(b.key);
    }
    ImGui::SameLine(0, 24.0f * static_cast<float>(scale_));
    ImGui::TextUnformatted("優先順位");
    ImGui::SameLine();
    if (ImGui::Checkbox("常に最上", &w.topMost)) SDL_SetWindowAlwaysOnTop(w.window, w.topMost ? SDL_TRUE : SDL_FALSE);
    w.record("常に最上");

    if (mode == MonitorMode::Watch) {
        const bool paused = m.paused();
        if (ImGui::Button(paused ? "再開" : "一時停止")) m.setPaused(!paused);
        w.record("一時停止");
        ImGui::SameLine();
        ImGui::BeginDisabled(!paused);
        if (ImGui::Button("1行実行")) m.stepOne();
        w.record("1行実行");
        ImGui::EndDisabled();
        if (paused && m.holding()) {
            const std::string at = "次の命令: " + m.heldAt();
            w.need(at);
            ImGui::SameLine();
            ImGui::TextUnformatted(at.c_str());
        }
    }

    const std::array<const char*, 3> cols = m.columns();
    const float footer = ImGui::GetFrameHeightWithSpacing();
    const ImGuiTableFlags flags = ImGuiTableFlags_Borders | ImGuiTableFlags_RowBg | ImGuiTableFlags_ScrollY |
                                  ImGuiTableFlags_Resizable | ImGuiTableFlags_SizingStretchProp;
    if (ImGui::BeginTable("list", 3, flags, ImVec2(0, -footer))) {
        ImGui::TableSetupScrollFreeze(0, 1);
        const bool watch = mode == MonitorMode::Watch;
        ImGui::TableSetupColumn(cols[0], 0, watch ? 1.2f : 1.0f);
        ImGui::TableSetupColumn(cols[1], 0, watch ? 2.4f : 1.6f);
        ImGui::TableSetupColumn(cols[2], 0, watch ? 1.6f : 0.5f);
        ImGui::TableHeadersRow();
        // Only the visible rows are formatted and drawn: 2021 rows scroll as smoothly as 58.
        ImGuiListClipper clip;
        clip.Begin(static_cast<int>(m.rowCount()));
        while (clip.Step())
            for (int i = clip.DisplayStart; i < clip.DisplayEnd; ++i) {
                const ui::MonitorRow r = m.row(static_cast<size_t>(i));
                ImGui::TableNextRow();
                for (int c = 0; c < 3; ++c) {
                    ImGui::TableSetColumnIndex(c);
                    w.need(r.cells[c]);
                    ImGui::TextUnformatted(r.cells[c].c_str());
                }
            }
        // The newest statement stays in view unless the author has scrolled back.
        if (watch) {
            const bool grown = m.takeTraceGrown();
            if (grown && w.stickToEnd) ImGui::SetScrollHereY(1.0f);
            w.stickToEnd = ImGui::GetScrollY() >= ImGui::GetScrollMaxY() - 2;
        }
        ImGui::EndTable();
    }
    if (ImGui::Button("更新")) m.refresh();
    w.record("更新");
    ImGui::SameLine(0, 24.0f * static_cast<float>(scale_));
    ImGui::TextUnformatted(m.rateText().c_str());
}

void SdlDebugWindows::drawPreview(Win& w) {
    ui::ScreenPreview& p = model_->preview;
    if (p.version() != w.uploaded) {
        w.uploaded = p.version();
        for (int a = 0; a < ui::ScreenPreview::kAreaCount; ++a) {
            const std::vector<uint8_t>& px = p.picture(a);
            SDL_Texture*& t = w.textures[static_cast<size_t>(a)];
            if (px.size() != static_cast<size_t>(kPreviewW) * kPreviewH * 3) continue;
            if (!t) t = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STATIC, kPreviewW, kPreviewH);
            if (t) SDL_UpdateTexture(t, nullptr, px.data(), kPreviewW * 3);
        }
    }
    struct Pager {
        const char* label;
        void (ui::ScreenPreview::*act)();
    };
    static const Pager kPagers[] = {{"始端", &ui::ScreenPreview::first}, {"前へ", &ui::ScreenPreview::previous},
                                    {"次へ", &ui::ScreenPreview::next},  {"終端", &ui::ScreenPreview::last},
                                    {"更新", &ui::ScreenPreview::refresh}};
    // The layout is the original's in its pixels, times the desktop's scale.
    const float s = static_cast<float>(scale_);
    const float pw = kPreviewW * s, ph = kPreviewH * s;
    ImGui::SetCursorPos(ImVec2(11 * s, 12 * s));
    for (const Pager& b : kPagers) {
        if (b.act != &ui::ScreenPreview::first) ImGui::SameLine();
        if (ImGui::Button(b.label)) (p.*b.act)();
        w.record(b.label);
    }
    ImGui::SameLine(0, 24 * s);
    if (ImGui::Checkbox("常に最上", &w.topMost)) SDL_SetWindowAlwaysOnTop(w.window, w.topMost ? SDL_TRUE : SDL_FALSE);
    w.record("常に最上");
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetWindowPos();
    const float line = ImGui::GetTextLineHeight();
    const auto areas = p.areas();
    for (size_t k = 0; k < areas.size(); ++k) {
        const ui::ScreenPreview::Area& a = areas[k];
        const float ax = static_cast<float>(a.x) * s, ay = static_cast<float>(a.y) * s;
        const ImVec2 at(origin.x + ax, origin.y + ay);
        if (!a.frame.empty()) {
            ImGui::SetCursorPos(ImVec2(ax, ay - line - 4 * s));
            ImGui::TextUnformatted(a.frame.c_str());
        }
        dl->AddRectFilled(at, ImVec2(at.x + pw, at.y + ph), IM_COL32(200, 200, 200, 255));
        if (SDL_Texture* t = w.textures[k]; t && !p.picture(static_cast<int>(k)).empty())
            dl->AddImage(t, at, ImVec2(at.x + pw, at.y + ph));
        dl->AddRect(ImVec2(at.x - 1, at.y - 1), ImVec2(at.x + pw + 1, at.y + ph + 1), IM_COL32(90, 90, 90, 255));
        ImGui::SetCursorPos(ImVec2(ax, ay + ph + 2 * s));
        ImGui::TextUnformatted(a.label.c_str());
    }
}

void SdlDebugWindows::drawCloseQuestion(Win& w, int which) {
    const auto k = static_cast<ui::DebugWindows::Which>(which);
    const std::string title = model_->questionCaption(k) + "##close";
    if (model_->asking(k) && !ImGui::IsPopupOpen(title.c_str())) ImGui::OpenPopup(title.c_str());
    ImGui::SetNextWindowPos(ImVec2(ImGui::GetIO().DisplaySize.x / 2, ImGui::GetIO().DisplaySize.y / 2),
                            ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    if (ImGui::BeginPopupModal(title.c_str(), nullptr, ImGuiWindowFlags_AlwaysAutoResize)) {
        ImGui::TextUnformatted(ui::DebugWindows::kCloseQuestion);
        bool yes = ImGui::Button("はい(Y)");
        w.record("はい(Y)");
        ImGui::SameLine();
        bool no = ImGui::Button("いいえ(N)");
        w.record("いいえ(N)");
        yes |= ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter)) || ImGui::IsKeyPressed(SDL_SCANCODE_Y);
        no |= ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape)) || ImGui::IsKeyPressed(SDL_SCANCODE_N);
        if (yes || no || !model_->asking(k)) {
            ImGui::CloseCurrentPopup();
            if (model_->asking(k)) model_->answerClose(k, yes);
        }
        ImGui::EndPopup();
    }
}

SDL_Rect SdlDebugWindows::itemRect(int which, const std::string& label) const {
    const Win* w = wins_[static_cast<size_t>(which)].get();
    if (!w) return {0, 0, 0, 0};
    auto it = w->rects.find(label);
    return it == w->rects.end() ? SDL_Rect{0, 0, 0, 0} : it->second;
}

uint32_t SdlDebugWindows::windowId(int which) const {
    const Win* w = wins_[static_cast<size_t>(which)].get();
    return w ? w->id : 0;
}

std::vector<uint8_t> SdlDebugWindows::lastPicture(int which, int& width, int& height) {
    width = height = 0;
    Win* w = wins_[static_cast<size_t>(which)].get();
    if (!w) return {};
    w->capture = true;
    draw(which, 0);
    width = w->shotW;
    height = w->shotH;
    return w->shot;
}

}  // namespace yv
