// Dear ImGui on the SDL renderer: the Japanese UI font, the menu bar, the pop-up menu and the
// modal dialogs drawn over the game picture.
#pragma once

#include <SDL.h>
#include <imgui.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/menus.h"
#include "platform/platform.h"

namespace yv {

// One edit field of a text-entry box. Texts are UTF-8; the limit counts CP932 bytes, as the
// script sees the entry.
struct DialogField {
    std::string label, defaultText;
    std::vector<char> buf;  // the field's text, zero-terminated, with room for the longest entry
    int32_t maxBytes = 0;   // 0 = no limit
    size_t lastBytes = 0;   // CP932 length after the last edit
    void setText(const std::string& utf8);
    std::string text() const { return buf.data(); }
};

// A modal dialog asked for by either thread; the window thread draws it until it is answered.
struct DialogRequest {
    enum class Kind { Message, About, Input, List, Load, Volume };
    Kind kind = Kind::Message;
    std::string caption, text;  // UTF-8
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int32_t answer = kIdOk;
    bool done = false;
    bool cancelled = false;  // closed without an answer (the window is going away)
    int focus = 0;  // the button Enter presses

    // Text-entry boxes.
    std::vector<DialogField> fields;
    int focusField = 0;         // the field that takes the keyboard next frame (-1: none)
    bool enterPressed = false;  // OK as soon as this frame's typing has reached the fields
    std::string composition;    // what the input method is composing
    SDL_Rect imeRect{0, 0, 0, 0};

    // The list dialog.
    std::vector<std::string> lines;
    int selected = -1;
    bool scrollToSelected = true;

    // The load dialog: its slots (selected: -1 "はじめから", else the slot).
    std::vector<LoadDialogSlot> slots;
    // The volume dialog: the model it changes and what its controls show.
    VolumeDialogModel* volume = nullptr;
    struct VolumeControls {
        int master = 0;        // percent; the slider's top is the loudest
        bool masterOn = true;
        bool muted = false;
        bool muteOn = true;
        int wave = 0;          // the wave level 0..65535
        bool waveOn = true;
        bool waveMuteOn = false;  // the wave mute box is there but does nothing
        std::string status;    // what was changed last
    } vol;
};

class SdlUi {
public:
    bool init(SDL_Window* window, SDL_Renderer* renderer, std::string& why);
    void shutdown();

    // Returns true when the UI takes the event (a menu or dialog is open, or the pointer is on
    // the menu bar).
    bool processEvent(const SDL_Event& e);
    // Starts a frame; the pointer at (x, y) in window pixels.
    void beginFrame(int x, int y);
    void endFrame(SDL_Renderer* renderer);

    // The menu bar at the top of the window; the id picked this frame, or 0.
    int32_t drawMenuBar(const std::vector<MenuItem>& items, bool& opening);
    void requestPopup(int x, int y);
    int32_t drawPopup(const std::vector<MenuItem>& items, bool& opening);
    void closeMenus() { closeMenus_ = true; }
    bool menuOpen() const { return menuOpen_ || popupOpen_; }
    bool popupOpen() const { return popupOpen_; }
    bool wantsMouse() const;
    // The label of the menu entry under the pointer in this frame's menus; empty for none.
    const std::string& hoveredMenuLabel() const { return hovered_; }

    // Draws the dialog; it is done once answered.
    void drawDialog(DialogRequest& d);
    bool drawKeyTable(const std::string& text, float width);
    // Key handling of an open dialog (window thread, outside a frame).
    void dialogKey(DialogRequest& d, SDL_Keycode key);
    // The characters that dialogs of each kind must be able to show.
    void prepareDialog(const DialogRequest& d);
    // Reads the volumes into the volume dialog's controls, greying what cannot be reached.
    static void prepareVolumeDialog(DialogRequest& d);

    int menuBarHeight() const { return menuBarHeight_; }
    // The menu bar's height at scale 1.
    int baseMenuBarHeight() const { return baseBarHeight_; }
    // The menu bar's height at a scale of the menus, known before the UI starts (the size a
    // new window opens at).
    static int menuBarHeightAt(float scale);
    // Menus and dialogs drawn larger (a large window or full screen); outside a frame.
    void setScale(float s);
    float scale() const { return scale_; }
    // The desktop's scale: the glyphs are rendered at least that large, never stretched up to it.
    void setDesktopScale(int s) { desktopScale_ = s; }
    // The menu bar is no longer drawn: none of its menus is open.
    void barGone() {
        menuOpen_ = false;
        barWasOpen_ = false;
    }
    // Adds the characters of a text to the font when some are missing (outside a frame).
    void ensureGlyphs(const std::string& utf8);
    // Menu labels change (save captions, script-set texts): their glyphs before the next frame.
    void ensureMenuGlyphs(const std::vector<MenuItem>& bar, const std::vector<MenuItem>& popup);
    bool hasGlyph(uint32_t codepoint) const;

    // Slot thumbnails as textures, made on first use and dropped with their thumbnails.
    void* textureFor(const std::shared_ptr<const Thumbnail>& t);
    void dropUnusedTextures();

    // Where each entry was drawn in the last frame (window pixels), by its UTF-8 label; tests
    // and scripted runs aim the pointer with it.
    std::map<std::string, SDL_Rect> itemRects;
    // Keeps the rectangle of the item drawn last under `name` (inside a frame).
    void rememberLastItem(const std::string& name);

private:
    void buildFont(float scale = 1.0f);
    float fontScale() const;
    void drawInputDialog(DialogRequest& d);
    void drawListDialog(DialogRequest& d);
    void drawLoadDialog(DialogRequest& d);
    void thumbnailTooltip(const MenuItem& m);
    void drawVolumeDialog(DialogRequest& d);
    bool beginDialogWindow(const DialogRequest& d);
    void dialogButton(DialogRequest& d, const char* label, float width, bool& pressed);
    void drawItems(const std::vector<MenuItem>& items, int32_t& picked, bool& opening, int depth);
    void noteHovered(const std::string& text, ImVec2 min, ImVec2 max);

    struct CachedTexture {
        std::weak_ptr<const Thumbnail> thumb;
        SDL_Texture* texture = nullptr;
    };
    SDL_Renderer* renderer_ = nullptr;
    std::map<const Thumbnail*, CachedTexture> textures_;
    bool ready_ = false;
    std::string fontFile_;
    static constexpr float kFontPx = 16.0f;
    float fontPx_ = kFontPx;
    std::set<uint32_t> extraChars_;
    std::string extraText_;
    bool fontDirty_ = false;
    int menuBarHeight_ = 22;
    int baseBarHeight_ = 22;
    float scale_ = 1.0f;
    int desktopScale_ = 1;
    ImGuiStyle baseStyle_;
    bool popupRequested_ = false;
    int popupX_ = 0, popupY_ = 0;
    bool popupOpen_ = false;
    bool menuOpen_ = false;
    bool barWasOpen_ = false;
    bool popupWasOpen_ = false;
    bool closeMenus_ = false;
    std::string hovered_;
};

// A display label: CP932 to UTF-8 with the '&' of keyboard mnemonics taken out.
std::string menuLabelUtf8(BytesView cp932);
// The font file for the UI: a Japanese gothic face found through fontconfig.
std::string findUiFontFile();

}  // namespace yv
