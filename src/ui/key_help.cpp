// The keys table: only what src/app/input.cpp and the window's own keys really do.
#include "ui/key_help.h"

#include <string>

#include "core/cp932.h"

namespace yv::ui {

namespace {

constexpr KeyHelp kKeys[] = {
    {"Left click", "Next page or the choice clicked; while a message types, the rest of it at once; skips a playing movie",
     "左クリック", "次のページへ、またはクリックした選択肢を選ぶ。文字の表示中は残りをすぐに表示。再生中のムービーを飛ばす"},
    {"Enter", "As a left click, on the highlighted choice; twice within half a second skips to the next choice",
     "Enter", "左クリックと同じ (選択肢は強調表示のもの)。0.5秒以内に2回で次の選択肢まで進む"},
    {"Wheel down", "Goes on as a left click does", "ホイール下", "左クリックと同じく進む"},
    {"Wheel up", "The message history, where the game's menus offer it", "ホイール上",
     "メッセージ履歴 (ゲームのメニューにあるとき)"},
    {"Right click", "The pop-up menu, when the game enables it", "右クリック",
     "ポップアップメニュー (ゲームが使うとき)"},
    {"Space", "The pop-up menu, as a right click", "Space", "右クリックと同じくポップアップメニュー"},
    {"Escape", "Quits (the game may ask first); skips a playing movie", "Esc",
     "終了 (ゲームが確認することがある)。再生中のムービーを飛ばす"},
    {"Ctrl", "Skips text up to the next choice while held", "Ctrl", "押している間、次の選択肢まで文字を飛ばす"},
    {"A", "Auto mode on and off", "A", "オートモードの切り替え"},
    {"Page Down", "Goes on as a left click does", "PageDown", "左クリックと同じく進む"},
    {"Up, Down", "Move between the choices", "↑ ↓", "選択肢の移動"},
    {"F11, Alt+Enter", "Window or full screen", "F11, Alt+Enter", "ウィンドウとフルスクリーンの切り替え"},
    {"F12", "Saves the picture the window shows", "F12", "ウィンドウに映っている画面を画像に保存"},
};

}  // namespace

std::span<const KeyHelp> keyHelp() { return kKeys; }

Bytes keyHelpText() {
    std::string text;
    for (const KeyHelp& k : kKeys) {
        if (!text.empty()) text += "\n";
        text += std::string(k.keyJa) + kKeySeparator + k.whatJa;
    }
    return utf8ToCp932(text);
}

}  // namespace yv::ui
