// The box a start that failed shows when nobody reads stderr: a small window of our own with
// the menus' font, since SDL's own message box needs zenity or X core fonts (and draws no
// Japanese with the latter).
#include <SDL.h>
#include <imgui.h>

#include "platform/sdl/sdl_desktop_scale.h"
#include "platform/sdl/sdl_renderer_pick.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_ui.h"

namespace yv {
namespace {

enum class Box { Shown, Unseen, Failed };

// Shows the text until OK, Enter, Escape or the window's close. Unseen: SDL offers only a driver
// that shows nothing (no display reachable), where a box would wait for ever for an answer
// nobody can give; the message is on stderr already.
Box ownErrorBox(const std::string& caption, const std::string& text) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return Box::Failed;
    std::string unseen;
    if (invisibleVideoDriver(unseen)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return Box::Unseen;
    }
    const int scale = sdlDesktopScale();  // a scaled desktop: the box and its text that much larger
    SDL_Window* window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 520 * scale,
                                          170 * scale, SDL_WINDOW_ALLOW_HIGHDPI);
    SDL_Renderer* renderer = window ? sdl::createWindowRenderer(window, true) : nullptr;
    SdlUi ui;
    std::string why;
    ui.setDesktopScale(scale);
    const bool ready = renderer && ui.init(window, renderer, why);
    if (ready) {
        ui.setScale(static_cast<float>(scale));
        ui.ensureGlyphs(text + "OK");
        bool done = false;
        int settle = 4, x = 0, y = 0;
        while (!done) {
            SDL_Event e;
            if (settle > 0 ? SDL_PollEvent(&e) : SDL_WaitEventTimeout(&e, 500)) {
                do {
                    ui.processEvent(e);
                    if (e.type == SDL_QUIT || (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE))
                        done = true;
                    if (e.type == SDL_KEYDOWN && (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER ||
                                                  e.key.keysym.sym == SDLK_ESCAPE))
                        done = true;
                    if (e.type == SDL_MOUSEMOTION) x = e.motion.x, y = e.motion.y;
                    if (e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) x = e.button.x, y = e.button.y;
                } while (SDL_PollEvent(&e));
                settle = 4;  // ImGui settles what an event changed over a few frames
            } else if (settle == 0) {
                continue;  // nothing happened and nothing is settling: nothing to draw
            }
            int ow = 0, oh = 0;
            SDL_GetRendererOutputSize(renderer, &ow, &oh);
            ui.beginFrame(x, y);
            ImGui::SetNextWindowPos(ImVec2(0, 0));
            ImGui::SetNextWindowSize(ImVec2(static_cast<float>(ow), static_cast<float>(oh)));
            ImGui::Begin("##error", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
            ImGui::TextWrapped("%s", text.c_str());
            const float button = 90.0f * static_cast<float>(scale);
            ImGui::SetCursorPos(ImVec2((static_cast<float>(ow) - button) / 2,
                                       static_cast<float>(oh) - ImGui::GetFrameHeight() - 14.0f * static_cast<float>(scale)));
            if (ImGui::Button("OK", ImVec2(button, 0))) done = true;
            ImGui::End();
            SDL_SetRenderDrawColor(renderer, 240, 240, 240, 255);
            SDL_RenderClear(renderer);
            ui.endFrame(renderer);
            SDL_RenderPresent(renderer);
            if (settle > 0) --settle;
        }
        ui.shutdown();
    }
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return ready ? Box::Shown : Box::Failed;
}

}  // namespace

void showStartupError(const std::string& caption, const std::string& text) {
    if (ownErrorBox(caption, text) == Box::Failed)
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
}

}  // namespace yv
