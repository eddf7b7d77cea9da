// The renderer choice for the program's windows.
#include "platform/sdl/sdl_renderer_pick.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace yv::sdl {
namespace {

// Whether the renderer draws through a GL that rasterises on the CPU. Its context is current on
// this thread right after SDL made it.
bool onSoftwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name) return false;
    if (std::string_view(info.name).rfind("opengl", 0) != 0) return false;  // opengl, opengles2
    using GetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString) return false;
    constexpr unsigned kGlRenderer = 0x1F01;
    const char* name = reinterpret_cast<const char*>(getString(kGlRenderer));
    if (!name) return false;
    for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (std::strstr(name, soft)) return true;
    return false;
}

}  // namespace

SDL_Renderer* createWindowRenderer(SDL_Window* window, bool vsync) {
    const char* asked = std::getenv("YORVANE_RENDERER");
    const std::string_view want = asked ? asked : "";
    if (want != "software") {
        const Uint32 flags = SDL_RENDERER_ACCELERATED | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
        if (SDL_Renderer* r = SDL_CreateRenderer(window, -1, flags)) {
            if (want == "gpu" || !onSoftwareGl(r)) return r;
            SDL_DestroyRenderer(r);
        }
    }
    // The window's pixels then go to the X server's shared memory directly, not through a GL
    // texture of their own (which would bring the software GL back for every present).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace yv::sdl
