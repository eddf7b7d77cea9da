// Going back a page (Backspace, 設定 > 一つ前へ) and forward again (Shift+Backspace).
#pragma once

namespace yv {

struct Runtime;

namespace save {
// Serves the page moves the window thread asked for (AppState::pageMoves), between steps: the
// kept page's state is loaded as a save is, without Load's message. The variables system.dat
// holds keep their values. While choices are being laid out the moves wait.
void servePageMoves(Runtime& rt);
// Greys or enables the menu entry that goes back a page (between steps, on change only).
void offerGoingBack(Runtime& rt);
}  // namespace save

}  // namespace yv
