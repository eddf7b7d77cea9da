// A runtime on the headless platform with screens made, for the text tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "graphics/present.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "test_util.h"
#include "script/command_table.h"
#include "text/renderer.h"
#include "text/text_state.h"

namespace yv {

class TextFixture : public ::testing::Test {
protected:
    void SetUp() override {
        rt = std::make_unique<Runtime>(p, dir.path());
        rt->resetForStart();
        text::configure(*rt);
        graphics::createScreens(*rt);
        rt->text.layoutTrace = &trace;
    }

    // Runs the command by name, as a statement would.
    int32_t cmd(const char* name, const std::string& args) { return callCommand(*rt, name, args); }

    // A table of `items` items, each at (x, 0 + 100 * item) with the given wait and line length.
    void table(int items, int rows, int wait = -1, int length = -1) {
        cmd("createtextf", "(" + std::to_string(items) + "," + std::to_string(rows) + ");");
        for (int i = 0; i < items; ++i) {
            TextItem& it = rt->text.items[static_cast<size_t>(i)];
            it.x = 0;
            it.y = 100 * i;
            it.wait = it.savedWait = wait;
            it.length = length;
        }
    }

    // Starts row 1 of the item with the text (UTF-8, stored as CP932).
    void show(int item, const std::string& utf8) {
        rt->text.items[static_cast<size_t>(item)].rows[0] = sjis(utf8);
        cmd("printtextf", "(" + std::to_string(item) + ", 1);");
    }

    bool advance() { return text::advancePrinting(*rt); }

    // Advances until the message is over (at most n calls); the number of calls it took.
    int finish(int n = 10000) {
        for (int i = 1; i <= n; ++i)
            if (advance()) return i;
        return -1;
    }

    int h() const { return rt->text.font.height; }

    TempDir dir;
    HeadlessPlatform p;
    std::unique_ptr<Runtime> rt;
    std::vector<DrawnUnit> trace;
};

inline const uint8_t* pixel(const Screen& s, int x, int y) { return s.row(y) + static_cast<size_t>(x) * 3; }

inline void fillScreen(Screen& s, uint8_t b, uint8_t g, uint8_t r) {
    for (size_t i = 0; i + 2 < s.pixels.size(); i += 3) {
        s.pixels[i] = b;
        s.pixels[i + 1] = g;
        s.pixels[i + 2] = r;
    }
}

}  // namespace yv
