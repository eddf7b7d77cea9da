// The menu font starts small and gains each kanji before a text that needs it is drawn (SDL
// dummy driver): dialogs, typed text and menu labels such as save captions never show '?'.
#include <gtest/gtest.h>

#include <SDL.h>

#include "core/cp932.h"
#include "platform/sdl/sdl_ui.h"
#include "ui/menus.h"

using namespace yv;

namespace {

struct DummyWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    DummyWindow() {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
        window = SDL_CreateWindow("glyphs", 0, 0, 320, 240, SDL_WINDOW_HIDDEN);
        if (window) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    ~DummyWindow() {
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

MenuItem labelled(const char* utf8) {
    MenuItem m;
    m.label = utf8ToCp932(utf8);
    return m;
}

}  // namespace

TEST(SdlUiGlyphs, KanjiArriveWithTheTextsThatNeedThem) {
    DummyWindow w;
    if (!w.renderer) GTEST_SKIP() << "no SDL dummy video: " << SDL_GetError();
    SdlUi ui;
    std::string why;
    ASSERT_TRUE(ui.init(w.window, w.renderer, why)) << why;
    if (!ui.hasGlyph(U'セ')) {
        ui.shutdown();
        GTEST_SKIP() << "no Japanese font installed (scripts/setup.sh installs one)";
    }
    // The menus' own labels are there from the start; other kana and a rare kanji are not.
    EXPECT_TRUE(ui.hasGlyph(U'終'));
    EXPECT_TRUE(ui.hasGlyph(U'A'));
    EXPECT_FALSE(ui.hasGlyph(U'ぬ'));
    EXPECT_FALSE(ui.hasGlyph(U'鬱'));

    ui.ensureGlyphs("鬱蒼とした森をぬける");
    EXPECT_TRUE(ui.hasGlyph(U'鬱'));
    EXPECT_TRUE(ui.hasGlyph(U'蒼'));
    EXPECT_TRUE(ui.hasGlyph(U'ぬ'));

    // A save caption in the load menu: its kanji come when the menu changes.
    EXPECT_FALSE(ui.hasGlyph(U'薔'));
    MenuItem load = labelled("ロード");
    load.sub.push_back(labelled(" 1:  薔薇の館"));
    ui.ensureMenuGlyphs({load}, {});
    EXPECT_TRUE(ui.hasGlyph(U'薔'));
    EXPECT_TRUE(ui.hasGlyph(U'薇'));
    EXPECT_TRUE(ui.hasGlyph(U'鬱'));  // earlier texts keep theirs
    ui.shutdown();
}
