// The script author's debug windows beside the game: each a window of its own with its own
// renderer and Dear ImGui context, driven by the window thread's loop through three calls:
// takeEvent for every event, frame on every pass, msUntilDue for a loop that sleeps.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/debug_windows.h"

struct ImGuiContext;

namespace yv {

class SdlDebugWindows {
public:
    SdlDebugWindows();
    ~SdlDebugWindows();
    SdlDebugWindows(const SdlDebugWindows&) = delete;
    SdlDebugWindows& operator=(const SdlDebugWindows&) = delete;

    // The model to show; nullptr (or a switch gone to 0) closes the windows. Window thread.
    void setModel(ui::DebugWindows* model);
    // An event from the queue: true when it belonged to a debug window (the game never sees
    // it). The main window's close box, which SDL no longer turns into SDL_QUIT while other
    // windows exist, is turned into one here.
    bool takeEvent(const SDL_Event& e);
    // Draws the windows whose time has come (the model's timers run here too).
    void frame(uint32_t nowMs, const ui::ScreenPreview::WindowPicture& windowPicture);
    // Milliseconds until frame has something to do; -1 when no debug window is open.
    int msUntilDue(uint32_t nowMs) const;
    bool anyShown() const { return wins_[0] || wins_[1]; }

    // For tests: where the UI drew its buttons in a window's last frame, and that window's id.
    SDL_Rect itemRect(int which, const std::string& label) const;
    uint32_t windowId(int which) const;
    // The window's picture of its last frame (24-bit bottom-up BGR), for tests and screenshots.
    std::vector<uint8_t> lastPicture(int which, int& w, int& h);
    // The game window, which the debug windows open beside.
    void setMainWindow(SDL_Window* main) { mainWindow_ = main; }
    // No window opens before then (the game window's place and frame are still changing).
    void holdOpening(uint32_t untilMs) { openNotBefore_ = untilMs; }
    // The desktop's scale: windows opened later are that much larger, their text drawn at that size.
    void setDesktopScale(int s) { scale_ = s < 1 ? 1 : s; }

    struct Win;

private:
    bool openWindow(int which);
    void closeWindow(int which);
    void draw(int which, uint32_t nowMs);
    void drawMonitor(Win& w);
    void drawPreview(Win& w);
    void drawCloseQuestion(Win& w, int which);

    ui::DebugWindows* model_ = nullptr;
    SDL_Window* mainWindow_ = nullptr;
    uint32_t openNotBefore_ = 0;
    std::array<std::unique_ptr<Win>, 2> wins_;
    uint32_t lastTickMs_ = 0;
    bool ticked_ = false;
    std::string fontFile_;
    int scale_ = 1;
};

}  // namespace yv
