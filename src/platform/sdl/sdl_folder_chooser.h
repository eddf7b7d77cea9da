// The launcher's folder chooser: a dialog of its own listing folders, those holding a game marked.
#pragma once

#include <SDL.h>

#include <filesystem>
#include <optional>
#include <string>

#include "ui/folder_list.h"

namespace yv {

class SdlUi;

class FolderChooser {
public:
    // Opens on `start` (the nearest folder of it that can be read, else the home folder).
    void open(const std::filesystem::path& start);
    bool isOpen() const { return open_; }
    // A key between frames (a press and release can both come before the next frame); true when
    // the chooser took it.
    bool key(SDL_Keycode k);
    // Outside a frame, before it: the font takes the characters of the names listed.
    void beforeFrame(SdlUi& ui);
    // Draws the dialog over the launcher, inside its frame; the folder once the player picked a game.
    std::optional<std::filesystem::path> draw(SdlUi& ui);

private:
    void enter(const std::filesystem::path& dir);
    std::optional<std::filesystem::path> drawBody(SdlUi& ui);
    // The row's folder: row 0 is the one above when there is one.
    int rows() const;
    const ui::FolderEntry* entryAt(int row) const;
    // Enter on a row, or its double click: a game folder is picked, any other is opened.
    std::optional<std::filesystem::path> activate(int row);

    ui::FolderListing listing_;
    std::string glyphsWanted_;
    bool open_ = false;
    bool popupAsked_ = false;
    int selected_ = 0;
    bool scrollToSelected_ = false;
    enum class Key { None, Up, Down, Enter, Back, Escape, Home, End } pending_ = Key::None;
};

}  // namespace yv
