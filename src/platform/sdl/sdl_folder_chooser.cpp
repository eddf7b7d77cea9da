// The launcher's folder chooser, drawn with ImGui as the launcher is.
#include "platform/sdl/sdl_folder_chooser.h"

#include <imgui.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "core/i18n.h"
#include "core/paths.h"
#include "platform/sdl/sdl_ui.h"

namespace fs = std::filesystem;

namespace yv {
namespace {

// In the player's language, looked up when used (after main() loaded the catalogue).
const char* title() { return i18n::tr("Choose a folder"); }
const char* upRow() { return i18n::tr("..  (the folder above)"); }
constexpr const char* kGameTag = "[start.ini]";
const char* playLabel() { return i18n::tr("Play"); }
const char* cancelLabel() { return i18n::tr("Cancel"); }
const char* hint() { return i18n::tr("Folders marked [start.ini] are games. Enter opens, Backspace goes up"); }
const char* cutNote() { return i18n::tr("(too many folders: only the first are listed)"); }

fs::path homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path("/");
}

}  // namespace

void FolderChooser::open(const fs::path& start) {
    std::error_code ec;
    fs::path at = start.empty() ? fs::current_path(ec) : start;
    // A typed path that goes too far opens at its deepest folder that is there.
    while (!at.empty() && !fs::is_directory(at, ec) && at.has_relative_path()) at = at.parent_path();
    if (at.empty() || !fs::is_directory(at, ec)) at = homeFolder();
    open_ = true;
    popupAsked_ = false;
    enter(at);
}

void FolderChooser::beforeFrame(SdlUi& ui) {
    if (glyphsWanted_.empty()) return;
    ui.ensureGlyphs(glyphsWanted_);
    glyphsWanted_.clear();
}

void FolderChooser::enter(const fs::path& dir) {
    const fs::path from = listing_.at;
    listing_ = ui::listFolders(dir);
    std::string names = listing_.at.string() + title() + upRow() + kGameTag + playLabel() + cancelLabel() + hint() + cutNote() +
                        listing_.error;
    for (const ui::FolderEntry& f : listing_.folders) names += f.name;
    glyphsWanted_ += names;  // the font can grow only between frames
    // Going up lands on the folder just left; going down, on the first game, else the top.
    selected_ = 0;
    const int first = listing_.parent.empty() ? 0 : 1;
    for (int row = first; row < rows(); ++row) {
        const ui::FolderEntry* e = entryAt(row);
        if (!from.empty() && e->path.lexically_normal() == from) {
            selected_ = row;
            break;
        }
        if (e->hasGame && selected_ == 0) selected_ = row;
    }
    scrollToSelected_ = true;
}

int FolderChooser::rows() const {
    return static_cast<int>(listing_.folders.size()) + (listing_.parent.empty() ? 0 : 1);
}

const ui::FolderEntry* FolderChooser::entryAt(int row) const {
    const int i = row - (listing_.parent.empty() ? 0 : 1);
    return i >= 0 && i < static_cast<int>(listing_.folders.size()) ? &listing_.folders[static_cast<size_t>(i)]
                                                                     : nullptr;
}

std::optional<fs::path> FolderChooser::activate(int row) {
    if (!listing_.parent.empty() && row == 0) {
        enter(listing_.parent);
        return std::nullopt;
    }
    const ui::FolderEntry* e = entryAt(row);
    if (!e) return std::nullopt;
    if (e->hasGame) {
        open_ = false;
        return e->path;
    }
    enter(e->path);
    return std::nullopt;
}

bool FolderChooser::key(SDL_Keycode k) {
    if (!open_) return false;
    switch (k) {
    case SDLK_UP: pending_ = Key::Up; break;
    case SDLK_DOWN: pending_ = Key::Down; break;
    case SDLK_RETURN: case SDLK_KP_ENTER: pending_ = Key::Enter; break;
    case SDLK_BACKSPACE: pending_ = Key::Back; break;
    case SDLK_ESCAPE: pending_ = Key::Escape; break;
    case SDLK_HOME: pending_ = Key::Home; break;
    case SDLK_END: pending_ = Key::End; break;
    default: return true;  // nothing reaches the launcher's field under the dialog
    }
    return true;
}

std::optional<fs::path> FolderChooser::draw(SdlUi& ui) {
    if (!open_) return std::nullopt;
    if (!popupAsked_) {
        ImGui::OpenPopup(title());
        popupAsked_ = true;
    }
    const ImVec2 view = ImGui::GetMainViewport()->Size;
    ImGui::SetNextWindowPos(ImVec2(view.x * 0.5f, view.y * 0.5f), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(ImVec2(view.x - 40, view.y - 40), ImGuiCond_Always);
    if (!ImGui::BeginPopupModal(title(), nullptr,
                                ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoSavedSettings))
        return std::nullopt;
    std::optional<fs::path> picked;
    switch (std::exchange(pending_, Key::None)) {
    case Key::Up: selected_ = std::max(0, selected_ - 1), scrollToSelected_ = true; break;
    case Key::Down: selected_ = std::min(std::max(0, rows() - 1), selected_ + 1), scrollToSelected_ = true; break;
    case Key::Home: selected_ = 0, scrollToSelected_ = true; break;
    case Key::End: selected_ = std::max(0, rows() - 1), scrollToSelected_ = true; break;
    case Key::Enter: picked = activate(selected_); break;
    case Key::Back:
        if (!listing_.parent.empty()) enter(listing_.parent);
        break;
    case Key::Escape: open_ = false; break;
    case Key::None: break;
    }
    if (open_) picked = drawBody(ui);
    if (!open_) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
    return picked;
}

std::optional<fs::path> FolderChooser::drawBody(SdlUi& ui) {
    const std::string where = PathResolver::diskNameToUtf8(listing_.at.string());
    ImGui::TextUnformatted(where.c_str());
    const ImGuiStyle& st = ImGui::GetStyle();
    const float below =
        ImGui::GetFrameHeightWithSpacing() + 2 * ImGui::GetTextLineHeightWithSpacing() + st.ItemSpacing.y;
    ImGui::BeginChild("##folders", ImVec2(0, -below), true);
    const float tagWidth = ImGui::CalcTextSize(kGameTag).x;
    const ImU32 gameColour = IM_COL32(20, 110, 40, 255);
    int doubleClicked = -1;
    for (int row = 0; row < rows(); ++row) {
        const ui::FolderEntry* e = entryAt(row);
        ImGui::PushID(row);
        const bool isSelected = row == selected_;
        const ImVec2 at = ImGui::GetCursorScreenPos();
        if (ImGui::Selectable("##row", isSelected, ImGuiSelectableFlags_AllowDoubleClick,
                              ImVec2(0, ImGui::GetTextLineHeight()))) {
            selected_ = row;
            if (ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left)) doubleClicked = row;
        }
        if (e) ui.rememberLastItem("folder:" + e->name);
        if (isSelected && scrollToSelected_) {
            ImGui::SetScrollHereY(0.5f);
            scrollToSelected_ = false;
        }
        ImDrawList* dl = ImGui::GetWindowDrawList();
        const float right = at.x + ImGui::GetContentRegionAvail().x;
        const bool game = e && e->hasGame;
        const ImU32 colour = game ? gameColour : ImGui::GetColorU32(ImGuiCol_Text);
        dl->AddText(ImVec2(at.x + 4, at.y), colour, e ? e->name.c_str() : upRow());
        if (game) dl->AddText(ImVec2(right - tagWidth - 4, at.y), gameColour, kGameTag);
        ImGui::PopID();
    }
    if (!listing_.error.empty()) ImGui::TextDisabled("%s", listing_.error.c_str());
    if (listing_.cut) ImGui::TextDisabled("%s", cutNote());
    ImGui::EndChild();
    ImGui::TextDisabled("%s", hint());
    // Play takes the game highlighted, or the folder shown when it is a game itself.
    const ui::FolderEntry* chosen = entryAt(selected_);
    const bool canPlay = (chosen && chosen->hasGame) || listing_.hasGame;
    const float bw =
        std::max(ImGui::CalcTextSize(playLabel()).x, ImGui::CalcTextSize(cancelLabel()).x) + 2 * st.FramePadding.x + 16;
    ImGui::SetCursorPosX(ImGui::GetWindowWidth() - 2 * bw - st.ItemSpacing.x - st.WindowPadding.x);
    ImGui::BeginDisabled(!canPlay);
    const bool play = ImGui::Button(playLabel(), ImVec2(bw, 0));
    ImGui::EndDisabled();
    ui.rememberLastItem(std::string("button:") + playLabel());
    ImGui::SameLine();
    if (ImGui::Button(cancelLabel(), ImVec2(bw, 0))) open_ = false;
    ui.rememberLastItem(std::string("button:") + cancelLabel());
    // Acted on once the rows are drawn: entering a folder replaces them.
    if (play && canPlay) {
        open_ = false;
        return chosen && chosen->hasGame ? chosen->path : listing_.at;
    }
    if (doubleClicked >= 0 && open_) return activate(doubleClicked);
    return std::nullopt;
}

}  // namespace yv
