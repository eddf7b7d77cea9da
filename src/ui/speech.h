// Reading the game aloud (設定 > 読み上げ, the V key): whether it is on, and the speaker.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/speaker.h"

namespace yv {

struct AppState;

// The window thread turns it on and off and cuts it at a click; the interpreter thread says the
// pages and the choices; the speaker takes calls from both.
struct Speech {
    std::unique_ptr<Speaker> speaker;  // set at start-up; none: nothing is ever said
    std::atomic<int32_t> on{0};
    // Something was said since the last cut: a click cuts only that.
    std::atomic<bool> talking{false};
};

namespace ui {
// Turns reading aloud on or off, its menu entry's check mark with it; refused (false) when the
// speech service proved missing.
bool setSpeech(AppState& app, bool on);
// The speech service proved missing: off, and the entry greyed for good.
void refuseSpeech(AppState& app);
// Says `utf8` while reading aloud is on.
void speak(Speech& s, std::string utf8);
// A click or a key that goes on: what is being said stops.
void stopSpeaking(Speech& s);
}  // namespace ui

}  // namespace yv
