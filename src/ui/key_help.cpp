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
    {"Ctrl", "While held: skips text up to the next choice, and fast-forwards through pages already read",
     "Ctrl", "押している間、次の選択肢まで文字を飛ばし、既読のページを早送りする"},
    {"Tab", "Fast-forward through pages already read, on and off (the menu's 設定 > Skip read pages)", "Tab",
     "既読スキップの切り替え (設定→既読スキップ)"},
    {"A", "Auto mode on and off", "A", "オートモードの切り替え"},
    {"V", "Reading aloud on and off (the menu's 設定 > Read aloud)", "V", "読み上げの切り替え (設定→読み上げ)"},
    {"Backspace", "Back one page (again for further, up to 100 pages; the menu's 設定 > Back one page)", "Backspace",
     "一つ前のページに戻る (続けて押すとさらに前へ、100ページまで。設定→一つ前へ)"},
    {"Shift+Backspace", "After going back, forward one page (as a left click when none is ahead)",
     "Shift+Backspace", "戻ったページから一つ先へ (先がなければ左クリックと同じ)"},
    {"F5", "Quick save (one slot, kept in the player's folder)", "F5", "クイックセーブ (プレイヤーのフォルダに一つ)"},
    {"F9", "Quick load (asks first when the game has gone on since the last save or load)", "F9",
     "クイックロード (最後のセーブかロードから進めていたら確認する)"},
    {"Page Down", "Goes on as a left click does", "PageDown", "左クリックと同じく進む"},
    {"Up, Down", "Move between the choices", "↑ ↓", "選択肢の移動"},
    {"F11, Alt+Enter", "Window or full screen", "F11, Alt+Enter", "ウィンドウとフルスクリーンの切り替え"},
    {"F12", "Saves the picture the window shows", "F12", "ウィンドウに映っている画面を画像に保存"},
    {"Gamepad A", "As Enter (on choices, the highlighted one)", "パッド A", "Enter と同じ (選択肢では強調表示のもの)"},
    {"Gamepad B, Start", "The pop-up menu (B at the pointer)", "パッド B, Start", "ポップアップメニュー (B はポインタの位置に)"},
    {"Gamepad D-pad, left stick", "Move between the choices (the stick pushed fully up or down); the stick moves the pointer",
     "パッド 十字キー, 左スティック", "選択肢の移動 (スティックは上下いっぱいに倒す)。スティックでポインタを動かす"},
    {"Gamepad Back", "The message history, as the wheel up", "パッド Back", "メッセージ履歴 (ホイール上と同じ)"},
    {"Gamepad LB, RB, Y", "Back one page; fast-forward while RB is held; auto mode on and off", "パッド LB, RB, Y",
     "一つ前のページへ。RB を押している間早送り。オートモードの切り替え"},
};

}  // namespace

std::span<const KeyHelp> keyHelp() { return kKeys; }

Bytes keyHelpText(bool japanese) {
    std::string text;
    for (const KeyHelp& k : kKeys) {
        if (!text.empty()) text += "\n";
        text += japanese ? std::string(k.keyJa) + kKeySeparator + k.whatJa
                         : std::string(k.keyEn) + kKeySeparator + k.whatEn;
    }
    return utf8ToCp932(text);
}

}  // namespace yv::ui
