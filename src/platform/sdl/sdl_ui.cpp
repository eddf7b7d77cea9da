// The ImGui side of the window: font, menus and modal dialogs.
#include "platform/sdl/sdl_ui.h"

#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>

#include <algorithm>
#include <cmath>

#include "core/cp932.h"
#include "platform/sdl/text_wrap.h"
#include "ui/key_help.h"

namespace yv {
namespace {

ImVector<ImWchar> gRanges;  // must outlive the font atlas build

void collectLabels(const std::vector<MenuItem>& items, std::string& out) {
    for (const MenuItem& m : items) {
        out += cp932ToUtf8(m.label);
        collectLabels(m.sub, out);
    }
}

struct ButtonDef {
    const char* label;
    int32_t answer;
};

std::vector<ButtonDef> buttonsOf(MsgButtons b) {
    switch (b) {
    case MsgButtons::Ok: return {{"OK", kIdOk}};
    case MsgButtons::OkCancel: return {{"OK", kIdOk}, {"キャンセル", kIdCancel}};
    case MsgButtons::YesNo: return {{"はい(Y)", kIdYes}, {"いいえ(N)", kIdNo}};
    case MsgButtons::YesNoCancel:
        return {{"はい(Y)", kIdYes}, {"いいえ(N)", kIdNo}, {"キャンセル", kIdCancel}};
    case MsgButtons::RetryCancel: return {{"再試行(R)", kIdRetry}, {"キャンセル", kIdCancel}};
    }
    return {{"OK", kIdOk}};
}

const char* kFixedTexts =
    "OKはい(Y)いいえ(N)キャンセル再試行(R)ﾊﾞｰｼﾞｮﾝ情報×入力BOXデフォルトメッセージを入力してください履歴ろーどはじめからLoad";

// Decodes one UTF-8 character; advances i.
uint32_t nextCodepoint(const std::string& s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + static_cast<size_t>(n) > s.size()) n = 1;
    uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += static_cast<size_t>(n);
    return cp;
}

}  // namespace

std::string menuLabelUtf8(BytesView cp932) {
    std::string s = cp932ToUtf8(cp932);
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

bool SdlUi::init(SDL_Window* window, SDL_Renderer* renderer, std::string& why) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
    ImGui::StyleColorsLight();
    ImGuiStyle& st = ImGui::GetStyle();
    st.WindowRounding = 0;
    st.PopupRounding = 0;
    st.FrameRounding = 2;
    st.PopupBorderSize = 1;
    baseStyle_ = st;
    // A caret that blinks would need frames while nothing else happens.
    io.ConfigInputTextCursorBlink = false;
    if (!ImGui_ImplSDL2_InitForSDLRenderer(window) || !ImGui_ImplSDLRenderer_Init(renderer)) {
        why = "cannot start the menus";
        return false;
    }
    renderer_ = renderer;
    fontFile_ = findUiFontFile();
    buildFont();
    menuBarHeight_ = static_cast<int>(fontPx_ + 2 * st.FramePadding.y);
    baseBarHeight_ = menuBarHeight_;
    ready_ = true;
    return true;
}

void SdlUi::shutdown() {
    if (!ready_) return;
    for (auto& [k, t] : textures_) SDL_DestroyTexture(t.texture);
    textures_.clear();
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    ready_ = false;
}

void SdlUi::buildFont(float scale) {
    ImGuiIO& io = ImGui::GetIO();
    io.Fonts->Clear();
    ImFontGlyphRangesBuilder b;
    // ASCII and the texts of the menus and dialogs up front; every other character comes only
    // when a text that needs it is about to be shown (menus, dialogs, typing), because each glyph
    // is drawn before the window can show (kana and symbols up front were a tenth of start-up;
    // all JIS kanji, a third and tens of megabytes).
    static const ImWchar kBase[] = {0x0020, 0x007E, 0};
    b.AddRanges(kBase);
    std::string labels = kFixedTexts;
    MenuModel model;
    collectLabels(model.snapshot(MenuWhich::Bar), labels);
    collectLabels(model.snapshot(MenuWhich::Popup), labels);
    b.AddText(labels.c_str());
    b.AddText(extraText_.c_str());
    gRanges.clear();
    b.BuildRanges(&gRanges);
    ImFont* f = nullptr;
    if (!fontFile_.empty()) f = io.Fonts->AddFontFromFileTTF(fontFile_.c_str(), fontPx_ * scale, nullptr, gRanges.Data);
    if (!f) io.Fonts->AddFontDefault();
    io.Fonts->Build();
}

void SdlUi::setScale(float s) {
    if (!ready_ || s == scale_ || s <= 0) return;
    scale_ = s;
    const float fontScale = this->fontScale();
    ImGuiIO& io = ImGui::GetIO();
    io.FontGlobalScale = s / fontScale;
    ImGui::GetStyle() = baseStyle_;
    ImGui::GetStyle().ScaleAllSizes(s);
    ImGui_ImplSDLRenderer_DestroyFontsTexture();
    buildFont(fontScale);
    ImGui_ImplSDLRenderer_CreateFontsTexture();
    menuBarHeight_ = static_cast<int>(fontPx_ * s + 2 * ImGui::GetStyle().FramePadding.y);
}

float SdlUi::fontScale() const {
    // The glyphs are rendered at up to twice the size (the atlas of every kanji stays within
    // what renderers take), or the desktop's scale when that is more, and stretched beyond.
    return std::min(scale_, std::max(2.0f, static_cast<float>(desktopScale_)));
}

int SdlUi::menuBarHeightAt(float s) {
    // As setScale makes it: the font's size and the frame's padding, both scaled.
    return static_cast<int>(kFontPx * s + 2 * std::floor(ImGuiStyle().FramePadding.y * s));
}

void SdlUi::ensureMenuGlyphs(const std::vector<MenuItem>& bar, const std::vector<MenuItem>& popup) {
    std::string labels;
    collectLabels(bar, labels);
    collectLabels(popup, labels);
    ensureGlyphs(labels);
}

bool SdlUi::hasGlyph(uint32_t codepoint) const {
    if (!ready_ || codepoint > 0xFFFF || ImGui::GetIO().Fonts->Fonts.empty()) return false;
    return ImGui::GetIO().Fonts->Fonts[0]->FindGlyphNoFallback(static_cast<ImWchar>(codepoint)) != nullptr;
}

void SdlUi::ensureGlyphs(const std::string& utf8) {
    if (!ready_) return;
    ImFont* font = ImGui::GetIO().Fonts->Fonts.empty() ? nullptr : ImGui::GetIO().Fonts->Fonts[0];
    if (!font) return;
    bool missing = false;
    for (size_t i = 0; i < utf8.size();) {
        const uint32_t cp = nextCodepoint(utf8, i);
        if (cp < 0x20 || cp > 0xFFFF || extraChars_.count(cp)) continue;
        if (!font->FindGlyphNoFallback(static_cast<ImWchar>(cp))) {
            extraChars_.insert(cp);
            missing = true;
        }
    }
    if (!missing) return;
    extraText_ += utf8;
    ImGui_ImplSDLRenderer_DestroyFontsTexture();
    buildFont(fontScale());
    ImGui_ImplSDLRenderer_CreateFontsTexture();
}

bool SdlUi::processEvent(const SDL_Event& e) {
    ImGui_ImplSDL2_ProcessEvent(&e);
    return menuOpen() || wantsMouse();
}

bool SdlUi::wantsMouse() const { return ImGui::GetIO().WantCaptureMouse; }

void SdlUi::beginFrame(int x, int y) {
    ImGui_ImplSDLRenderer_NewFrame();
    hovered_.clear();
    // Once the atlas is a texture, its pixels and the font file ImGui keeps in memory (6 MB for a
    // full Japanese face) wait for nothing: a rebuild reads the file again.
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    if (atlas->TexPixelsAlpha8 || atlas->TexPixelsRGBA32) {
        atlas->ClearTexData();
        atlas->ClearInputData();
    }
    ImGui_ImplSDL2_NewFrame();
    // Under drivers without focus the backend sees no pointer: use the one from the events.
    ImGui::GetIO().MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
    ImGui::NewFrame();
    itemRects.clear();
}

void* SdlUi::textureFor(const std::shared_ptr<const Thumbnail>& t) {
    if (!t || t->width <= 0 || t->height <= 0 || !renderer_) return nullptr;
    auto it = textures_.find(t.get());
    if (it != textures_.end() && !it->second.thumb.expired()) return it->second.texture;
    if (it != textures_.end()) {
        SDL_DestroyTexture(it->second.texture);
        textures_.erase(it);
    }
    SDL_Texture* tex = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STATIC, t->width, t->height);
    if (!tex) return nullptr;
    SDL_UpdateTexture(tex, nullptr, t->rgb.data(), t->width * 3);
    textures_[t.get()] = {t, tex};
    return tex;
}

void SdlUi::dropUnusedTextures() {
    for (auto it = textures_.begin(); it != textures_.end();) {
        if (it->second.thumb.expired()) {
            SDL_DestroyTexture(it->second.texture);
            it = textures_.erase(it);
        } else {
            ++it;
        }
    }
}

void SdlUi::thumbnailTooltip(const MenuItem& m) {
    if (!m.thumbnail || !ImGui::IsItemHovered()) return;
    void* tex = textureFor(m.thumbnail);
    if (!tex) return;
    ImGui::BeginTooltip();
    ImGui::Image(tex, ImVec2(static_cast<float>(m.thumbnail->width), static_cast<float>(m.thumbnail->height)));
    ImGui::EndTooltip();
}

void SdlUi::endFrame(SDL_Renderer*) {
    closeMenus_ = false;  // asked for this frame's menus only
    ImGui::Render();
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
}

void SdlUi::rememberLastItem(const std::string& name) {
    const ImVec2 at = ImGui::GetItemRectMin(), size = ImGui::GetItemRectSize();
    itemRects[name] = {static_cast<int>(at.x), static_cast<int>(at.y), static_cast<int>(size.x),
                       static_cast<int>(size.y)};
}

// Reading aloud names the entry under the pointer, greyed ones too (the player hears what is
// there). Looked at before the entry is drawn: once a submenu opens, the last item is its window's.
void SdlUi::noteHovered(const std::string& text, ImVec2 min, ImVec2 max) {
    if (ImGui::IsWindowHovered(ImGuiHoveredFlags_AllowWhenBlockedByPopup) && ImGui::IsMouseHoveringRect(min, max))
        hovered_ = text;
}

void SdlUi::drawItems(const std::vector<MenuItem>& items, int32_t& picked, bool& opening, int depth) {
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& m = items[i];
        if (m.separator) {
            ImGui::Separator();
            continue;
        }
        const std::string text = menuLabelUtf8(m.label);
        const std::string label = text + "##" + std::to_string(depth) + "_" + std::to_string(i);
        const ImVec2 at = ImGui::GetCursorScreenPos();
        const ImVec2 size(std::max(ImGui::CalcTextSize(text.c_str()).x, 8.0f), ImGui::GetTextLineHeight());
        const SDL_Rect r{static_cast<int>(at.x), static_cast<int>(at.y), static_cast<int>(size.x),
                         static_cast<int>(size.y)};
        itemRects[m.id ? "#" + std::to_string(m.id) : text] = r;
        // The whole row of the entry, as far as the menu is wide.
        noteHovered(text, at,
                    ImVec2(at.x + std::max(size.x, ImGui::GetContentRegionAvail().x),
                           at.y + ImGui::GetTextLineHeightWithSpacing()));
        if (m.isSubmenu()) {
            if (ImGui::BeginMenu(label.c_str(), !m.greyed)) {
                drawItems(m.sub, picked, opening, depth + 1);
                ImGui::EndMenu();
            }
        } else {
            if (ImGui::MenuItem(label.c_str(), nullptr, m.checked, !m.greyed)) picked = m.id;
            thumbnailTooltip(m);
        }
    }
}

int32_t SdlUi::drawMenuBar(const std::vector<MenuItem>& items, bool& opening) {
    int32_t picked = 0;
    opening = false;
    if (!ImGui::BeginMainMenuBar()) return 0;
    menuBarHeight_ = static_cast<int>(ImGui::GetWindowSize().y);
    bool anyOpen = false;
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& m = items[i];
        const std::string text = menuLabelUtf8(m.label);
        const std::string label = text + "##bar" + std::to_string(i);
        const ImVec2 at = ImGui::GetCursorScreenPos();
        const SDL_Rect r{static_cast<int>(at.x) + 4, static_cast<int>(at.y),
                         static_cast<int>(ImGui::CalcTextSize(text.c_str()).x),
                         static_cast<int>(ImGui::GetFrameHeight())};
        itemRects[m.id ? "#" + std::to_string(m.id) : text] = r;
        noteHovered(text, at,
                    ImVec2(at.x + static_cast<float>(r.w) + 2 * ImGui::GetStyle().ItemSpacing.x,
                           at.y + ImGui::GetFrameHeight()));
        if (m.isSubmenu()) {
            if (ImGui::BeginMenu(label.c_str(), !m.greyed)) {
                anyOpen = true;
                drawItems(m.sub, picked, opening, 1);
                // Closing a menu of the bar closes the submenus opened from it.
                if (closeMenus_) ImGui::CloseCurrentPopup(), anyOpen = false;
                ImGui::EndMenu();
            }
        } else if (ImGui::MenuItem(label.c_str(), nullptr, m.checked, !m.greyed)) {
            picked = m.id;
        }
    }
    ImGui::EndMainMenuBar();
    opening = anyOpen && !barWasOpen_;
    barWasOpen_ = anyOpen;
    menuOpen_ = anyOpen;
    return picked;
}

void SdlUi::requestPopup(int x, int y) {
    popupRequested_ = true;
    popupX_ = x;
    popupY_ = y;
}

int32_t SdlUi::drawPopup(const std::vector<MenuItem>& items, bool& opening) {
    int32_t picked = 0;
    opening = false;
    if (popupRequested_) {
        ImGui::OpenPopup("##gamepopup");
        ImGui::SetNextWindowPos(ImVec2(static_cast<float>(popupX_), static_cast<float>(popupY_)));
        popupRequested_ = false;
    }
    popupOpen_ = ImGui::BeginPopup("##gamepopup");
    if (popupOpen_) {
        drawItems(items, picked, opening, 1);
        if (picked || closeMenus_) ImGui::CloseCurrentPopup();
        ImGui::EndPopup();
    }
    opening = popupOpen_ && !popupWasOpen_;
    popupWasOpen_ = popupOpen_;
    return picked;
}

bool SdlUi::beginDialogWindow(const DialogRequest& d) {
    const std::string id = (d.caption.empty() ? std::string(" ") : d.caption) + "###yvdialog";
    if (!ImGui::IsPopupOpen("###yvdialog")) ImGui::OpenPopup(id.c_str());
    const ImGuiViewport* vp = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(ImVec2(vp->Pos.x + vp->Size.x * 0.5f, vp->Pos.y + vp->Size.y * 0.5f),
                            ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSizeConstraints(ImVec2(220 * scale_, 0), ImVec2(vp->Size.x * 0.9f, vp->Size.y * 0.9f));
    ImGui::SetNextWindowBgAlpha(1.0f);  // the game's picture must not show through the text
    return ImGui::BeginPopupModal(id.c_str(), nullptr,
                                  ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove |
                                      ImGuiWindowFlags_NoSavedSettings);
}

void SdlUi::dialogButton(DialogRequest&, const char* label, float width, bool& pressed) {
    const ImVec2 at = ImGui::GetCursorScreenPos();
    itemRects[std::string("button:") + label] = {static_cast<int>(at.x), static_cast<int>(at.y),
                                                 static_cast<int>(width), static_cast<int>(ImGui::GetFrameHeight())};
    pressed = ImGui::Button(label, ImVec2(width, 0));
}

// A text whose every line is a key row ("key　：　what it does", the 操作方法 dialog): keys in
// a column of their own, each description wrapped beside its key, never under it.
bool SdlUi::drawKeyTable(const std::string& text, float width) {
    const std::string_view sep = ui::kKeySeparator;
    std::vector<std::pair<std::string_view, std::string_view>> rows;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        const std::string_view line = rest.substr(0, nl);
        const size_t at = line.find(sep);
        if (at == std::string_view::npos) return false;
        rows.emplace_back(line.substr(0, at), line.substr(at + sep.size()));
        rest = nl == std::string_view::npos ? std::string_view{} : rest.substr(nl + 1);
    }
    if (rows.size() < 2) return false;
    ImFont* font = ImGui::GetFont();
    const float unit = ImGui::GetFontSize() / std::max(font->FontSize, 1.0f);
    const auto advance = [&](uint32_t cp) {
        return cp > 0xFFFF ? font->FallbackAdvanceX * unit : font->GetCharAdvance(static_cast<ImWchar>(cp)) * unit;
    };
    // The key column as wide as its widest key, up to a quarter of the table: a long key (the
    // gamepad's "十字キー, 左スティック") wraps rather than squeezing every description.
    float keyWidth = 0;
    for (const auto& r : rows)
        keyWidth = std::max(keyWidth, ImGui::CalcTextSize(r.first.data(), r.first.data() + r.first.size()).x);
    keyWidth = std::min(keyWidth, width / 4);
    // Broken between characters, as Japanese is: ImGui breaks only at spaces, which leaves
    // "終了" alone on a line before "(ゲームが…".
    const ImGuiStyle& st = ImGui::GetStyle();
    const float whatWidth = std::max(width - keyWidth - 4 * st.CellPadding.x - st.ScrollbarSize, 8 * ImGui::GetFontSize());
    std::vector<std::pair<std::string, std::string>> wrapped;
    float height = 0;
    for (const auto& r : rows) {
        wrapped.emplace_back(wrapToWidth(std::string(r.first), keyWidth, advance),
                             wrapToWidth(std::string(r.second), whatWidth, advance));
        height += std::max(ImGui::CalcTextSize(wrapped.back().first.c_str()).y,
                           ImGui::CalcTextSize(wrapped.back().second.c_str()).y) +
                  2 * st.CellPadding.y;
    }
    // Taller than the window leaves room for: the rows scroll, the OK button stays in sight.
    const float room = ImGui::GetMainViewport()->Size.y * 0.9f - 6 * ImGui::GetTextLineHeightWithSpacing();
    ImGuiTableFlags flags = ImGuiTableFlags_RowBg | ImGuiTableFlags_SizingFixedFit;
    if (height > room) flags |= ImGuiTableFlags_ScrollY;
    if (!ImGui::BeginTable("##keys", 2, flags, ImVec2(width, std::min(height, std::max(room, 0.0f)))))
        return true;
    ImGui::TableSetupColumn("key", ImGuiTableColumnFlags_WidthFixed, keyWidth);
    ImGui::TableSetupColumn("what", ImGuiTableColumnFlags_WidthStretch);
    for (const auto& [key, what] : wrapped) {
        ImGui::TableNextRow();
        ImGui::TableNextColumn();
        ImGui::TextUnformatted(key.c_str());
        ImGui::TableNextColumn();
        ImGui::TextUnformatted(what.c_str());
    }
    ImGui::EndTable();
    return true;
}

void SdlUi::drawDialog(DialogRequest& d) {
    if (d.kind == DialogRequest::Kind::Input) return drawInputDialog(d);
    if (d.kind == DialogRequest::Kind::List) return drawListDialog(d);
    if (d.kind == DialogRequest::Kind::Load) return drawLoadDialog(d);
    if (d.kind == DialogRequest::Kind::Volume) return drawVolumeDialog(d);
    const auto buttons = buttonsOf(d.buttons);
    d.focus = std::clamp(d.focus, 0, static_cast<int>(buttons.size()) - 1);
    if (!beginDialogWindow(d)) return;
    const ImGuiViewport* vp = ImGui::GetMainViewport();
    ImGui::Dummy(ImVec2(0, 4));
    if (d.icon != MsgIcon::None) {
        const float r = ImGui::GetTextLineHeight();
        const ImVec2 p = ImGui::GetCursorScreenPos();
        ImDrawList* dl = ImGui::GetWindowDrawList();
        ImU32 col = IM_COL32(40, 100, 200, 255);
        const char* glyph = "i";
        if (d.icon == MsgIcon::Exclamation) col = IM_COL32(230, 170, 0, 255), glyph = "!";
        if (d.icon == MsgIcon::Error) col = IM_COL32(200, 30, 30, 255), glyph = "×";
        if (d.icon == MsgIcon::Question) glyph = "?";
        const ImVec2 c(p.x + r, p.y + r);
        dl->AddCircleFilled(c, r, col, 24);
        const ImVec2 ts = ImGui::CalcTextSize(glyph);
        dl->AddText(ImVec2(c.x - ts.x / 2, c.y - ts.y / 2), IM_COL32_WHITE, glyph);
        ImGui::Dummy(ImVec2(2 * r + 8, 2 * r));
        ImGui::SameLine();
    }
    const float wrapAt = std::min(560.0f * scale_, vp->Size.x * 0.8f);
    if (!drawKeyTable(d.text, wrapAt)) {
        ImGui::PushTextWrapPos(wrapAt);
        ImGui::TextUnformatted(d.text.c_str());
        ImGui::PopTextWrapPos();
    }
    ImGui::Dummy(ImVec2(0, 8));
    const float bw = 96 * scale_;
    const float total = bw * static_cast<float>(buttons.size()) +
                        ImGui::GetStyle().ItemSpacing.x * static_cast<float>(buttons.size() - 1);
    ImGui::SetCursorPosX(std::max(ImGui::GetCursorPosX(), (ImGui::GetWindowWidth() - total) * 0.5f));
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (i) ImGui::SameLine();
        const bool focused = static_cast<int>(i) == d.focus;
        if (focused) {
            ImGui::PushStyleColor(ImGuiCol_Border, IM_COL32(0, 90, 200, 255));
            ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 2.0f);
        }
        const std::string label = std::string(buttons[i].label) + "##b" + std::to_string(i);
        const ImVec2 at = ImGui::GetCursorScreenPos();
        itemRects[std::string("button:") + buttons[i].label] = {static_cast<int>(at.x), static_cast<int>(at.y),
                                                              static_cast<int>(bw), static_cast<int>(ImGui::GetFrameHeight())};
        if (ImGui::Button(label.c_str(), ImVec2(bw, 0))) {
            d.answer = buttons[i].answer;
            d.done = true;
        }
        if (focused) {
            ImGui::PopStyleVar();
            ImGui::PopStyleColor();
        }
    }
    if (d.done) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
}

void SdlUi::dialogKey(DialogRequest& d, SDL_Keycode key) {
    if (d.kind == DialogRequest::Kind::Input) {
        // Escape does nothing: the box waits for an entry. Enter is OK, once the typing that
        // came before it has reached the fields; while the input method composes, Enter is its.
        if ((key == SDLK_RETURN || key == SDLK_KP_ENTER) && d.composition.empty()) d.enterPressed = true;
        return;
    }
    if (d.kind == DialogRequest::Kind::Load) {
        // Up and Down walk the choices that can be taken; Enter loads, Escape closes the
        // dialog choosing nothing.
        const int n = static_cast<int>(d.slots.size());
        auto usable = [&](int i) { return i == -1 || (i >= 0 && i < n && d.slots[static_cast<size_t>(i)].exists); };
        int step = 0;
        switch (key) {
        case SDLK_RETURN: case SDLK_KP_ENTER: d.answer = d.selected, d.done = true; return;
        case SDLK_ESCAPE: d.answer = -1, d.done = true; return;
        case SDLK_UP: case SDLK_LEFT: step = -1; break;
        case SDLK_DOWN: case SDLK_RIGHT: step = 1; break;
        default: return;
        }
        for (int i = d.selected + step; i >= -1 && i < n; i += step)
            if (usable(i)) {
                d.selected = i;
                break;
            }
        return;
    }
    if (d.kind == DialogRequest::Kind::Volume) {
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_ESCAPE) d.done = true;
        return;
    }
    if (d.kind == DialogRequest::Kind::List) {
        const int n = static_cast<int>(d.lines.size());
        switch (key) {
        case SDLK_RETURN: case SDLK_KP_ENTER: case SDLK_ESCAPE: d.done = true; break;
        case SDLK_UP: d.selected = std::max(0, d.selected - 1), d.scrollToSelected = true; break;
        case SDLK_DOWN: d.selected = std::min(n - 1, d.selected + 1), d.scrollToSelected = true; break;
        case SDLK_HOME: d.selected = n ? 0 : -1, d.scrollToSelected = true; break;
        case SDLK_END: d.selected = n - 1, d.scrollToSelected = true; break;
        default: break;
        }
        return;
    }
    const auto buttons = buttonsOf(d.buttons);
    const int n = static_cast<int>(buttons.size());
    auto answer = [&](int32_t a) {
        d.answer = a;
        d.done = true;
    };
    switch (key) {
    case SDLK_LEFT: case SDLK_UP: d.focus = (d.focus + n - 1) % n; break;
    case SDLK_RIGHT: case SDLK_DOWN: case SDLK_TAB: d.focus = (d.focus + 1) % n; break;
    case SDLK_RETURN: case SDLK_KP_ENTER: case SDLK_SPACE:
        answer(buttons[static_cast<size_t>(std::clamp(d.focus, 0, n - 1))].answer);
        break;
    case SDLK_ESCAPE:
        for (const auto& b : buttons)
            if (b.answer == kIdCancel) return answer(kIdCancel);
        if (d.buttons == MsgButtons::Ok) answer(kIdOk);
        break;
    case SDLK_y: if (d.buttons == MsgButtons::YesNo || d.buttons == MsgButtons::YesNoCancel) answer(kIdYes); break;
    case SDLK_n: if (d.buttons == MsgButtons::YesNo || d.buttons == MsgButtons::YesNoCancel) answer(kIdNo); break;
    case SDLK_r: if (d.buttons == MsgButtons::RetryCancel) answer(kIdRetry); break;
    default: break;
    }
}

}  // namespace yv
