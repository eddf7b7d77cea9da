// The launcher window: SDL with the same ImGui look as the game's menus and dialogs.
#include "platform/sdl/sdl_launcher.h"

#include "platform/sdl/sdl_desktop_scale.h"
#include "platform/sdl/sdl_folder_chooser.h"
#include "platform/sdl/sdl_renderer_pick.h"
#include "platform/sdl/sdl_x11_state.h"

#include <SDL.h>
#include <imgui.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "core/i18n.h"
#include "graphics/png_write.h"
#include "platform/sdl/sdl_picture.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_ui.h"

namespace fs = std::filesystem;

namespace yv {
namespace {

// In the player's language: looked up when used, after main() has loaded the catalogue.
const char* recentLabel() { return i18n::tr("Recently played"); }
const char* noneYet() { return i18n::tr("None yet"); }
const char* folderLabel() { return i18n::tr("Game folder"); }
const char* openLabel() { return i18n::tr("Open"); }
const char* browseLabel() { return i18n::tr("Browse..."); }
const char* dropHint() { return i18n::tr("A folder or its start.ini dropped here starts the game too"); }
constexpr const char* kFieldHint = "/path/to/game";
const char* missingMark() { return i18n::tr("(not found)"); }
const char* continueLabel() { return i18n::tr("Continue"); }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Launcher {
public:
    explicit Launcher(const LauncherRequest& r) : r_(r), message_(r.message) {}
    ~Launcher() {
        if (routed_) r_.routeSignals(nullptr);  // before SDL goes: the closer pushes an event
        ui_.shutdown();
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        // A game chosen opens its window on the display already open: closing the display and
        // opening it again at once can fail on a busy machine, and the game would then run
        // without a window.
        if (sdlUp_ && !chosen_) SDL_Quit();
    }

    bool open(std::string& why) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            why = SDL_GetError();
            return false;
        }
        passStaleWakeUps();
        sdlUp_ = true;
        if (invisibleVideoDriver(why)) return false;
        // On a scaled desktop the window and its text are that much larger (the glyphs drawn at
        // that size, not stretched), within the desktop's usable area.
        const int scale = sdlDesktopScale();
        SDL_Rect usable{0, 0, 640 * scale, 460 * scale};
        if (scale > 1 && SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = {0, 0, 640 * scale, 460 * scale};
        const int w = std::min(640 * scale, std::max(640, usable.w)), h = std::min(460 * scale, std::max(460, usable.h - 40));
        window_ = SDL_CreateWindow("Yorvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                   SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
        if (window_) renderer_ = sdl::createWindowRenderer(window_, true);
        if (!window_ || !renderer_) {
            why = SDL_GetError();
            return false;
        }
        SDL_SetWindowMinimumSize(window_, std::min(420 * scale, w), std::min(300 * scale, h));
        ui_.setDesktopScale(scale);
        if (!ui_.init(window_, renderer_, why)) return false;
        ui_.setScale(static_cast<float>(scale));
        std::string texts = std::string(recentLabel()) + noneYet() + folderLabel() + openLabel() + dropHint() +
                            missingMark() + continueLabel() + browseLabel() + message_;
        for (const LauncherGame& g : r_.recent) texts += g.name + g.folder.string();
        ui_.ensureGlyphs(texts);
        SDL_StartTextInput();  // the folder field takes typing and the input method
        if (r_.routeSignals) {
            r_.routeSignals([this] {
                signalled_ = true;
                SDL_Event e{};
                e.type = SDL_QUIT;
                SDL_PushEvent(&e);
            });
            routed_ = true;
        }
        return true;
    }

    std::optional<LauncherChoice> run() {
        int settle = 4;
        while (!chosen_ && !closed_ && !signalled_) {
            SDL_Event e;
            if (settle > 0 ? SDL_PollEvent(&e) : SDL_WaitEventTimeout(&e, 500)) {
                handle(e);
                while (SDL_PollEvent(&e)) handle(e);
                settle = 4;  // ImGui settles what an event changed over a few frames
            } else if (settle == 0) {
                continue;  // nothing happened and nothing is settling: nothing to draw
            }
            if (closed_ || signalled_) break;
            drawFrame();
            if (settle > 0) --settle;
        }
        if (signalled_ || !chosen_) return std::nullopt;
        return LauncherChoice{*chosen_, resume_};
    }

private:
    void handle(const SDL_Event& e) {
        if (e.type == SDL_TEXTINPUT) ui_.ensureGlyphs(e.text.text);
        ui_.processEvent(e);
        switch (e.type) {
        case SDL_QUIT: closed_ = true; break;
        case SDL_KEYDOWN:
            if (e.key.keysym.sym == SDLK_F12 && !e.key.repeat) shotWanted_ = true;
            if (chooser_.key(e.key.keysym.sym)) break;
            if (e.key.keysym.sym == SDLK_o && (e.key.keysym.mod & KMOD_CTRL)) browseWanted_ = true;
            // A press and release that come between two frames never reach ImGui as a press.
            if (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER) enterPressed_ = true;
            break;
        case SDL_MOUSEMOTION: mouseX_ = e.motion.x, mouseY_ = e.motion.y; break;
        case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: mouseX_ = e.button.x, mouseY_ = e.button.y; break;
        case SDL_DROPFILE:
            if (e.drop.file) {
                const std::string dropped = e.drop.file;
                SDL_free(e.drop.file);
                tryFolder(launcherFolderFrom(dropped));
            }
            break;
        default: break;
        }
    }

    void tryFolder(const fs::path& folder, bool resume = false) {
        if (folder.empty()) return;
        resume_ = resume;
        if (auto problem = r_.problem ? r_.problem(folder) : std::nullopt) {
            message_ = *problem;
            std::fprintf(stderr, "yorvane: %s\n", message_.c_str());
            ui_.ensureGlyphs(message_);
            return;
        }
        chosen_ = folder;
    }

    void drawFrame() {
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(renderer_, &ow, &oh);
        if (std::exchange(browseWanted_, false)) chooser_.open(browseStart());
        chooser_.beforeFrame(ui_);
        ui_.beginFrame(mouseX_, mouseY_);
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(static_cast<float>(ow), static_cast<float>(oh)));
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(14 * ui_.scale(), 12 * ui_.scale()));
        ImGui::Begin("##launcher", nullptr,
                     ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                         ImGuiWindowFlags_NoBringToFrontOnFocus);
        ImGui::PopStyleVar();
        drawRecent();
        drawFolderField();
        if (const auto picked = chooser_.draw(ui_)) tryFolder(*picked);
        ImGui::End();
        SDL_SetRenderDrawColor(renderer_, 240, 240, 240, 255);
        SDL_RenderClear(renderer_);
        ui_.endFrame(renderer_);
        if (shotWanted_) saveWindowShot();
        SDL_RenderPresent(renderer_);
    }

    // F12, as in the game's window: the window's picture to YORVANE_WINDOW_SHOT (or
    // yorvane-window.png in the current folder).
    void saveWindowShot() {
        shotWanted_ = false;
        int w = 0, h = 0;
        std::vector<uint8_t> bottomUp;
        if (!readRendererPixels(renderer_, bottomUp, w, h)) return;
        const char* env = std::getenv("YORVANE_WINDOW_SHOT");
        const std::string file = env && *env ? env : "yorvane-window.png";
        if (writePng(file, bottomUp.data(), w, h)) std::fprintf(stderr, "window picture: %s\n", file.c_str());
    }

    void drawRecent() {
        ImGui::TextUnformatted(recentLabel());
        const float line = ImGui::GetTextLineHeight();
        const ImGuiStyle& st = ImGui::GetStyle();
        // Below the list: the field's label, the field, the hint and two lines of message.
        const float below = 5 * ImGui::GetTextLineHeightWithSpacing() + ImGui::GetFrameHeightWithSpacing() +
                            2 * st.ItemSpacing.y;
        ImGui::BeginChild("##recent", ImVec2(0, -below), true);
        if (r_.recent.empty()) ImGui::TextDisabled("%s", noneYet());
        for (size_t i = 0; i < r_.recent.size(); ++i) {
            const LauncherGame& g = r_.recent[i];
            const ImVec2 at = ImGui::GetCursorScreenPos();
            ImGui::PushID(static_cast<int>(i));
            const float rowHeight = 2 * line + st.ItemSpacing.y;
            // A game left before its end has its button at the row's right end.
            const bool resumable = g.playable && g.resumable;
            const float resumeWidth = ImGui::CalcTextSize(continueLabel()).x + 2 * st.FramePadding.x + 16;
            const bool picked = ImGui::Selectable("##game", false,
                                                  g.playable ? ImGuiSelectableFlags_None : ImGuiSelectableFlags_Disabled,
                                                  ImVec2(resumable ? std::max(1.0f, ImGui::GetContentRegionAvail().x -
                                                                                        resumeWidth - st.ItemSpacing.x)
                                                                   : 0,
                                                         rowHeight));
            const ImVec2 size = ImGui::GetItemRectSize();
            bool resumePicked = false;
            if (resumable) {
                ImGui::SameLine();
                const ImVec2 bat = ImGui::GetCursorScreenPos();
                resumePicked = ImGui::Button(continueLabel(), ImVec2(resumeWidth, rowHeight));
                ui_.itemRects["continue:" + std::to_string(i)] = {static_cast<int>(bat.x), static_cast<int>(bat.y),
                                                                  static_cast<int>(resumeWidth),
                                                                  static_cast<int>(rowHeight)};
            }
            ImGui::PopID();
            ui_.itemRects["game:" + std::to_string(i)] = {static_cast<int>(at.x), static_cast<int>(at.y),
                                                         static_cast<int>(size.x), static_cast<int>(size.y)};
            ImDrawList* dl = ImGui::GetWindowDrawList();
            const ImU32 strong = ImGui::GetColorU32(g.playable ? ImGuiCol_Text : ImGuiCol_TextDisabled);
            const ImU32 weak = ImGui::GetColorU32(ImGuiCol_TextDisabled);
            const std::string name = g.playable ? g.name : g.name + "  " + missingMark();
            dl->PushClipRect(at, ImVec2(at.x + size.x, at.y + size.y), true);
            dl->AddText(ImVec2(at.x + 4, at.y), strong, name.c_str());
            dl->AddText(ImVec2(at.x + 16, at.y + line + st.ItemSpacing.y * 0.5f), weak, g.folder.c_str());
            dl->PopClipRect();
            if (picked) tryFolder(g.folder);
            if (resumePicked) tryFolder(g.folder, true);
        }
        ImGui::EndChild();
    }

    void drawFolderField() {
        ImGui::Spacing();
        ImGui::TextUnformatted(folderLabel());
        const float button = ImGui::CalcTextSize(openLabel()).x + 2 * ImGui::GetStyle().FramePadding.x + 16;
        const float browse = ImGui::CalcTextSize(browseLabel()).x + 2 * ImGui::GetStyle().FramePadding.x + 16;
        ImGui::SetNextItemWidth(-(button + browse + 2 * ImGui::GetStyle().ItemSpacing.x));
        if (focusField_) {
            ImGui::SetKeyboardFocusHere();
            focusField_ = false;
        }
        const ImVec2 at = ImGui::GetCursorScreenPos();
        // A refused folder is selected, so that what is typed next replaces it.
        auto selectAll = [](ImGuiInputTextCallbackData* d) {
            bool& wanted = *static_cast<bool*>(d->UserData);
            if (wanted) d->SelectAll(), d->CursorPos = d->BufTextLen;
            wanted = false;
            return 0;
        };
        const bool entered = ImGui::InputTextWithHint(
            "##folder", kFieldHint, field_, sizeof field_,
            ImGuiInputTextFlags_EnterReturnsTrue | ImGuiInputTextFlags_AutoSelectAll | ImGuiInputTextFlags_CallbackAlways,
            selectAll, &selectField_);
        ui_.itemRects["field"] = {static_cast<int>(at.x), static_cast<int>(at.y),
                                  static_cast<int>(ImGui::GetItemRectSize().x), static_cast<int>(ImGui::GetFrameHeight())};
        ImGui::SameLine();
        const ImVec2 bat = ImGui::GetCursorScreenPos();
        ui_.itemRects[std::string("button:") + openLabel()] = {static_cast<int>(bat.x), static_cast<int>(bat.y),
                                                               static_cast<int>(button),
                                                               static_cast<int>(ImGui::GetFrameHeight())};
        const bool pressed = ImGui::Button(openLabel(), ImVec2(button, 0));
        ImGui::SameLine();
        if (ImGui::Button(browseLabel(), ImVec2(browse, 0))) browseWanted_ = true;
        ui_.rememberLastItem(std::string("button:") + browseLabel());
        if (std::exchange(enterPressed_, false) || entered || pressed) {
            tryFolder(launcherFolderFrom(field_));
            focusField_ = selectField_ = true;
        }
        ImGui::TextDisabled("%s", dropHint());
        if (!message_.empty()) {
            ImGui::Spacing();
            ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(190, 20, 20, 255));
            ImGui::TextWrapped("%s", message_.c_str());
            ImGui::PopStyleColor();
        }
    }

    // The chooser opens where the player is likely to look: the folder typed, else beside the
    // last game played, else where the program was started.
    fs::path browseStart() const {
        if (field_[0]) return launcherFolderFrom(field_);
        if (!r_.recent.empty()) return r_.recent.front().folder.parent_path();
        std::error_code ec;
        return fs::current_path(ec);
    }

    const LauncherRequest& r_;
    std::string message_;
    bool sdlUp_ = false;
    bool routed_ = false;
    std::atomic<bool> signalled_{false};
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SdlUi ui_;
    int mouseX_ = -1, mouseY_ = -1;
    char field_[4096] = {};
    bool focusField_ = true;
    bool closed_ = false;
    bool shotWanted_ = false;
    bool enterPressed_ = false;
    bool selectField_ = false;
    bool browseWanted_ = false;
    FolderChooser chooser_;
    std::optional<fs::path> chosen_;
    bool resume_ = false;
};

}  // namespace

fs::path launcherFolderFrom(const std::string& text) {
    std::string s = text;
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.back())) s.pop_back();
    size_t from = 0;
    while (from < s.size() && isSpace(s[from])) ++from;
    s.erase(0, from);
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) s = s.substr(1, s.size() - 2);
    if (s.rfind("file://", 0) == 0) {
        // A file manager's address: file:///path or file://localhost/path, %-escaped.
        std::string rest = s.substr(7);
        if (rest.rfind("localhost/", 0) == 0) rest.erase(0, 9);
        std::string decoded;
        for (size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == '%' && i + 2 < rest.size() && hexDigit(rest[i + 1]) >= 0 && hexDigit(rest[i + 2]) >= 0) {
                decoded += static_cast<char>(hexDigit(rest[i + 1]) * 16 + hexDigit(rest[i + 2]));
                i += 2;
            } else {
                decoded += rest[i];
            }
        }
        s = decoded;
    }
    if (s.empty()) return {};
    if (s[0] == '~' && (s.size() == 1 || s[1] == '/')) {
        const char* home = std::getenv("HOME");
        if (home && *home) s = std::string(home) + s.substr(1);
    }
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(s), ec).lexically_normal();
    if (ec) p = s;
    if (fs::is_regular_file(p, ec)) p = p.parent_path();
    return p;
}

std::optional<LauncherChoice> runLauncher(const LauncherRequest& request, bool& opened, std::string& why) {
    Launcher l(request);
    opened = l.open(why);
    if (!opened) return std::nullopt;
    return l.run();
}

}  // namespace yv
