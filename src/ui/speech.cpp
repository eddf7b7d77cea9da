// Reading aloud switched on and off, and the texts handed to the speaker.
#include "ui/speech.h"

#include "ui/app_state.h"

namespace yv::ui {

bool setSpeech(AppState& app, bool on) {
    Speech& s = app.speech;
    if (on && s.speaker) s.speaker->open();
    if (on && (!s.speaker || !s.speaker->usable())) {
        refuseSpeech(app);
        return false;
    }
    if (s.on.exchange(on ? 1 : 0) == (on ? 1 : 0)) return true;
    app.menus.setChecked(MenuWhich::Bar, menuid::kSpeech, on);
    if (!on) stopSpeaking(s);
    return true;
}

void refuseSpeech(AppState& app) {
    app.speech.on = 0;
    app.menus.setChecked(MenuWhich::Bar, menuid::kSpeech, false);
    app.menus.setGreyed(MenuWhich::Bar, menuid::kSpeech, true);
}

void speak(Speech& s, std::string utf8) {
    if (!s.on || !s.speaker || utf8.empty()) return;
    s.talking = true;
    s.speaker->say(std::move(utf8));
}

void stopSpeaking(Speech& s) {
    if (s.talking.exchange(false) && s.speaker) s.speaker->cancel();
}

}  // namespace yv::ui
