// Start-up and shutdown.
#include "app/shell.h"

#include <cstdio>

#include "app/debug_settings.h"
#include "app/menu_logic.h"
#include "app/display_mode.h"
#include "app/fast_forward.h"
#include "app/input.h"
#include "app/menu_hooks.h"
#include "app/screenshot.h"
#include "core/cp932.h"
#include "core/i18n.h"
#include "graphics/png_write.h"
#include "graphics/present.h"
#include "play_warnings.h"
#include "save/resume_file.h"
#include "save/save_folder.h"
#include "save/save_game.h"
#include "script/debug_serve.h"
#include "script/interpreter.h"
#include "text/choices.h"
#include "text/text_state.h"
#include "ui/key_help.h"
#include "version.h"

namespace fs = std::filesystem;

namespace yv {

Shell::Shell(Platform& platform, Options options)
    : platform_(platform), options_(std::move(options)),
      rt_(std::make_unique<Runtime>(platform, fs::absolute(options_.gameDir).lexically_normal())),
      view_(app::windowView(*rt_)) {
    platform_.setMenus(&rt_->app.menus);
    rt_->verbose = options_.verbose;
    if (options_.warnings) rt_->warnings = std::make_unique<PlayWarnings>();
    rt_->app.speech.speaker = options_.speechLog ? makeLogSpeaker() : makeSpeechDispatcherSpeaker(options_.verbose, platform_.headless());
}

Shell::~Shell() {
    if (debugWindows_) platform_.setDebugWindows(nullptr);
    shutdown();
}

void Shell::readConfigFile(const fs::path& file) {
    auto ini = IniFile::load(file);
    rt_->config.read(ini ? *ini : IniFile{});
    rt_->app.setTitle(rt_->config.title);
    applyConfig();
}

// The effects of the settings on the window and the menus, in the order they are read.
void Shell::applyConfig() {
    using namespace ui::menuid;
    Runtime& rt = *rt_;
    Config& c = rt.config;
    AppState& a = rt.app;
    rt.interp.pacingMs = c.fps;
    // Without a Title of its own the window names the game by its folder; the Title setting
    // (the captions of the game's messages) stays as read.
    platform_.setTitle(c.title == "Yorvane" ? app::gameName(rt) + " - Yorvane" : c.title);
    platform_.setScreenSize(c.width, c.height);
    platform_.moveWindow(c.left, c.top);

    const int depth = platform_.desktopBits();
    if (c.fullBits == 0) c.fullBits = depth;
    if (depth < 16)
        rt.messageBox(utf8ToCp932("High color(16bit)以上の画面モードで起動してください"), "BitsPixel Error");

    // -f for this run, else the mode the player last chose for this game.
    if (options_.fullscreen) c.full = 1;
    else if (const auto& f = settings_.settings().fullScreen) c.full = *f ? 1 : 0;
    app::markDisplayMode(rt, MenuWhich::Bar, c.full != 0);
    // Key = 0 takes "選択肢まで進む" off the menu bar (once: a second reading must not take the
    // entry that moved into its place).
    if (c.key == 0) {
        auto second = a.menus.snapshot(MenuWhich::Bar);
        if (second.size() > 1 && second[1].id == kBarSkip) a.menus.removeBarEntry(1);
    }
    if (c.topMost) platform_.setTopMost(true);
    a.menuOn = c.menu != 0 ? 1 : 0;
    if (c.menu == 0) {
        if (a.barAttached) {
            a.barAttached = 0;
            a.barKept = 1;
        }
        platform_.setMenuBarShown(false);
    }
    if (c.centerAtStart) platform_.centerWindow();

    // The speed marks follow the pacing interval in both menus.
    const int speed = Config::speedItemFor(c.fps);
    const int32_t barSpeed = speed == 0 ? kBarFast : speed == 2 ? kBarSlow : kBarNormal;
    a.menus.checkOnly(MenuWhich::Bar, {kBarFast, kBarNormal, kBarSlow, kBarNoWait}, barSpeed);
    if (c.popMenu == 1 || c.popFullMenu == 1) {
        app::markDisplayMode(rt, MenuWhich::Popup, c.full != 0);
        const int32_t popSpeed = speed == 0 ? kPopFast : speed == 2 ? kPopSlow : kPopNormal;
        a.menus.checkOnly(MenuWhich::Popup, {kPopFast, kPopNormal, kPopSlow, kPopNoWait}, popSpeed);
    }

    rt.interp.firstScript = c.script;
    rt.interp.scriptName = c.script;
    text::configure(rt);

    if (c.full != 0 && !a.fullScreen) {
        a.fullScreen = 1;
        if (app::testAndSetDisplayMode(rt)) {
            if (a.menuOn == 1) {
                if (a.barAttached) {
                    a.barAttached = 0;
                    a.barKept = 1;
                }
                platform_.setMenuBarShown(false);
            }
        } else {
            a.fullScreen = 0;
            c.full = 0;
            app::markDisplayMode(rt, MenuWhich::Bar, false);
        }
    }
}

void Shell::startInterpreter() {
    // The thread exists from the view's first update on; its steps do nothing until start-up
    // has finished and enabled them.
    interpreter_ = std::thread([this] {
        script::threadLoop(*rt_);
        platform_.wakeLoop();  // a headless loop ends with the script
    });
    rt_->interp.wake.wait([this] { return rt_->interp.threadActive != 0; });
}

// The debug windows asked for by [DebugWindow] or --debug (a window needs a display).
void Shell::openDebugWindows(const std::string& iconFile) {
    Runtime& rt = *rt_;
    const bool monitor = rt.config.debug == 1 || options_.debug;
    const bool preview = rt.config.debugPrev == 1 || options_.debug;
    if ((!monitor && !preview) || platform_.headless()) return;
    debugWindows_ = std::make_unique<ui::DebugWindows>(rt.interp.debug, rt.interp.stepsPerSecond,
                                                       app::settingsListing(rt.config, iconFile),
                                                       rt.config.endMessage != 0);
    // Once the interpreter thread has ended, its state is the window thread's to read.
    debugWindows_->serveWhenIdle = [this] {
        if (!rt_->interp.threadActive) script::debugServe(*rt_);
    };
    if (monitor) debugWindows_->open(ui::DebugWindows::kMonitor, true);
    if (preview) debugWindows_->open(ui::DebugWindows::kPreview, true);
    platform_.setDebugWindows(debugWindows_.get());
}

bool Shell::start(std::string& why) {
    Runtime& rt = *rt_;
    realStart_ = std::chrono::steady_clock::now();
    rt.interp.stepsEnabled = 0;

    // Every system this program builds for is a supported one: no operating-system message.
    // One running copy per game folder.
    if (!instance_.acquire(rt.gameDir)) {
        platform_.messageBox(
            utf8ToCp932("アプリケーションが完全に閉じられていません。\n多重起動防止の為、終了します。"),
            "Information", MsgButtons::Ok, MsgIcon::Error);
        why = i18n::trf("the game in %s is already running", {rt.gameDir.string()});
        return false;
    }

    // The frame's icon, the view's first update: cursor, start values, the system save and the
    // interpreter thread.
    const std::string name = applicationName(rt.gameDir);
    std::string iconFile;
    if (auto ico = rt.resources.paths().find(name + ".ico")) {
        platform_.setIconFile(ico->string());
        iconFile = ico->filename().string();
    }
    if (auto cur = rt.resources.paths().find(name + ".cur")) platform_.setCursorFile(cur->string());
    setScaleFilter(options_.filter);
    rt.resetForStart();
    save::chooseSaveFolder(rt);
    save::readSystemSave(rt);
    save::openReadText(rt);
    startInterpreter();

    const fs::path ini = rt.resources.paths().find("start.ini").value_or(rt.gameDir / "start.ini");
    std::error_code ec;
    if (!fs::is_regular_file(ini, ec)) {
        why = i18n::trf("no start.ini in %s", {rt.gameDir.string()});
        return false;  // ends quietly: no window, no message
    }
    readConfigFile(ini);
    rt.resources.openArchives(rt.config.dat, rt.config.datInfo, rt.config.datInfo2);
    if (!rt.resources.archiveMode()) rt.config.dat = 0;

    ScriptPtr first = script::loadScript(rt, rt.config.script);
    if (!first) {
        rt.messageBox("first script, not find!", "load script error", MsgButtons::Ok, MsgIcon::Error);
        why = i18n::trf("cannot read the first script %s", {cp932ToUtf8(rt.config.script)});
        return false;
    }
    rt.interp.script = std::move(first);
    rt.interp.pos = 0;

    // A _$debug file beside start.ini is read over it: its missing keys take the defaults.
    // The archives stay as opened: its DAT only switches them off or blinds their indexes.
    if (auto debug = rt.resources.paths().find("_$debug"); debug && fs::is_regular_file(*debug, ec)) {
        readConfigFile(*debug);
        rt.resources.applySecondReading(rt.config.dat, rt.config.datInfo, rt.config.datInfo2);
    }

    graphics::createScreens(rt);
    graphics::presentScreen(rt);
    // The players' host windows, after both readings of the configuration.
    media::start(rt, options_.soundfont);
    applyRememberedSettings();

    // --continue: the game goes on from the page it was left at, loaded as a save is (the
    // interpreter's steps have not begun: nothing else touches the state yet).
    if (options_.continueGame) {
        std::optional<Bytes> resumed = save::readResumeFile(rt, why);
        if (!resumed) return false;
        if (!save::loadFromBytes(rt, *resumed, save::resumePath(rt.gameDir))) {
            why = i18n::trf("the resume file %s holds no saved game", {save::resumePath(rt.gameDir).string()});
            return false;
        }
        rt.save.justLoaded = 0;
    }

    openDebugWindows(iconFile);

    rt.app.lastDrawnMode = rt.app.fullScreen;
    platform_.showWindow(1);
    started_ = true;
    rt.interp.stepsEnabled = 1;
    return true;
}

void Shell::onInput(const InputEvent& e) {
    app::applyInput(view_, e);
    if (e.kind == InputEvent::Kind::Key && e.key == kKeyTab && e.down) rememberFastForward();
    if (e.kind == InputEvent::Kind::Key && e.key == kKeyV && e.down) rememberSpeech();
}

// Without a speech service nothing was turned: the player's earlier choice stays.
void Shell::rememberSpeech() {
    const Speech& sp = rt_->app.speech;
    if (!sp.speaker || !sp.speaker->usable()) return;
    const bool on = sp.on != 0;
    settings_.change([on](PlayerSettings& s) { s.speech = on; }, platform_.clock().nowMs());
}

void Shell::onMenuHovered(const std::string& labelUtf8) {
    ui::speak(rt_->app.speech, labelUtf8);
}

// The mode as the player turned it: its ends at a stop or a click are not choices.
void Shell::rememberFastForward() {
    const bool on = rt_->app.fastMode != 0;
    settings_.change([on](PlayerSettings& s) { s.readSkip = on; }, platform_.clock().nowMs());
}

void Shell::onMenuOpening(bool popup) {
    app::refreshSlots(*rt_, popup ? MenuWhich::Popup : MenuWhich::Bar);
}

bool Shell::pickMenuEntry(int32_t id) {
    Runtime& rt = *rt_;
    // As a player would: the menu is opened (its slot entries brought up to date), and only an
    // entry that is there and not greyed can be picked, from the menu bar while it is shown or
    // else from the pop-up menu.
    const bool bar = rt.app.menuOn == 1 && rt.app.barAttached == 1 && !rt.app.fullScreen;
    const MenuWhich which = bar ? MenuWhich::Bar : MenuWhich::Popup;
    onMenuOpening(which == MenuWhich::Popup);
    if (!rt.app.menus.pickable(which, id)) {
        std::fprintf(stderr, "menu: entry %d cannot be picked now\n", static_cast<int>(id));
        return false;
    }
    onMenuCommand(id);
    return true;
}

void Shell::onMenuCommand(int32_t id) {
    using namespace ui::menuid;
    Runtime& rt = *rt_;
    if (const int s = slotOfSaveId(id); s >= 0) return app::saveToSlot(rt, s);
    if (const int s = slotOfLoadId(id); s >= 0) return app::loadFromSlot(rt, s);
    int32_t volumeBefore = 0;
    bool muteBefore = false;
    uint16_t waveBefore = 0;
    if (id == kBarVolume || id == kPopVolume) {
        rt.media.volume.percent(volumeBefore);
        rt.media.volume.mute(muteBefore);
        rt.media.volume.waveLevel(waveBefore);
    }
    if (app::speedItem(rt, id)) return rememberMenuChoice(id, 0, false, 0);
    switch (id) {
    case kHistory: holdingAutoMode([&] { app::openHistoryDialog(rt); }); break;
    case kBarVolume: case kPopVolume: holdingAutoMode([&] { app::openVolumeDialog(rt); }); break;
    case kAuto: app::setAutoMode(rt.app, rt.clock(), !rt.app.autoMode); break;
    case kReadSkip: ui::setFastMode(rt.app, !rt.app.fastMode); break;
    case kSkipUnread:
        rt.app.fastUnread = rt.app.fastUnread ? 0 : 1;
        rt.app.menus.setChecked(MenuWhich::Bar, kSkipUnread, rt.app.fastUnread != 0);
        break;
    case kCopyText: setCopyText(rt.text.out.clipboard == 0); break;
    case kSpeech: ui::setSpeech(rt.app, rt.app.speech.on == 0); break;
    case kGoBack:
        // A player going back reads: auto mode ends as with any key.
        app::setAutoMode(rt.app, rt.clock(), false);
        rt.app.pageMoves -= 1;
        break;
    case kBarFull: app::switchToFullScreen(rt, true); break;
    case kPopFull: app::switchToFullScreen(rt, false); break;
    case kBarWindow: app::switchToWindowMode(rt, true); break;
    case kPopWindow: app::switchToWindowMode(rt, false); break;
    case kBarSkip: case kPopSkip: app::skipToNextChoice(rt); break;
    case kFilterSharp: setScaleFilter(ScaleFilter::Sharp); break;
    case kFilterNearest: setScaleFilter(ScaleFilter::Nearest); break;
    case kFilterSmooth: setScaleFilter(ScaleFilter::Smooth); break;
    case kExit: case kPopClose: platform_.requestClose(); break;
    case kKeysHelp:
        holdingAutoMode([&] {
            platform_.showAbout(utf8ToCp932(i18n::tr("Keys and mouse")), ui::keyHelpText(i18n::japanese()));
        });
        break;
    case kAbout:
        holdingAutoMode([&] {
            platform_.showAbout(utf8ToCp932("ﾊﾞｰｼﾞｮﾝ情報"),
                                utf8ToCp932(std::string("Yorvane Version ") + kYorvaneVersion + "\n\n") +
                                    app::gameName(rt) + "\n" +
                                    utf8ToCp932(PathResolver::diskNameToUtf8(rt.gameDir.string())) +
                                    utf8ToCp932(std::string("\n\n") + kYorvaneLicenceNotice));
        });
        break;
    default: break;
    }
    rememberMenuChoice(id, volumeBefore, muteBefore, waveBefore);
}

// Speeds, volumes, the display mode and the filter are the player's to keep for this game.
void Shell::applyRememberedSettings() {
    using namespace ui::menuid;
    Runtime& rt = *rt_;
    const PlayerSettings& s = settings_.settings();
    if (s.speed) {
        const int32_t id = *s.speed == TextSpeed::Fast   ? kBarFast
                           : *s.speed == TextSpeed::Slow ? kBarSlow
                           : *s.speed == TextSpeed::NoWait ? kBarNoWait
                                                           : kBarNormal;
        app::speedItem(rt, id);
    }
    // Auto mode's pace has no menu entry; a player who wants another one writes it into the file.
    if (s.autoAdvanceMs) rt.app.autoBaseMs = *s.autoAdvanceMs;
    if (s.autoPerCharMs) rt.app.autoPerCharMs = *s.autoPerCharMs;
    Volume& v = rt.media.volume;
    if (s.volume) v.setPercent(*s.volume);
    if (s.mute) v.setMute(*s.mute);
    if (s.waveVolume) v.setWaveLevel(static_cast<uint16_t>(*s.waveVolume));
    // A player who left fast-forward on finds the read text before the first stop passed.
    if (s.readSkip) ui::setFastMode(rt.app, *s.readSkip);
    if (s.skipUnread) {
        rt.app.fastUnread = *s.skipUnread ? 1 : 0;
        rt.app.menus.setChecked(MenuWhich::Bar, kSkipUnread, *s.skipUnread);
    }
    if (s.copyText) setCopyText(*s.copyText);
    if (s.speech) ui::setSpeech(rt.app, *s.speech);
}

// Found out on the speaker's own thread: the entry is greyed and the mode ends here, once.
void Shell::refuseSpeechWithoutService() {
    Speech& sp = rt_->app.speech;
    if (speechRefused_ || !sp.speaker || sp.speaker->usable()) return;
    speechRefused_ = true;
    ui::refuseSpeech(rt_->app);
}

void Shell::setCopyText(bool on) {
    rt_->text.out.clipboard = on ? 1 : 0;
    rt_->app.menus.setChecked(MenuWhich::Bar, ui::menuid::kCopyText, on);
}

void Shell::rememberMenuChoice(int32_t id, int32_t volumeBefore, bool muteBefore, uint16_t waveBefore) {
    using namespace ui::menuid;
    const uint32_t now = platform_.clock().nowMs();
    switch (id) {
    case kBarFast: case kPopFast: case kBarNormal: case kPopNormal: case kBarSlow: case kPopSlow:
    case kBarNoWait: case kPopNoWait: {
        const TextSpeed t = id == kBarFast || id == kPopFast   ? TextSpeed::Fast
                            : id == kBarSlow || id == kPopSlow ? TextSpeed::Slow
                            : id == kBarNoWait || id == kPopNoWait ? TextSpeed::NoWait
                                                                   : TextSpeed::Normal;
        settings_.change([t](PlayerSettings& s) { s.speed = t; }, now);
        break;
    }
    case kFilterSharp: case kFilterNearest: case kFilterSmooth: {
        const ScaleFilter f = platform_.scaleFilter();
        settings_.change([f](PlayerSettings& s) { s.filter = f; }, now);
        break;
    }
    case kBarFull: case kPopFull: case kBarWindow: case kPopWindow: rememberDisplayMode(); break;
    case kReadSkip: rememberFastForward(); break;
    case kSpeech: rememberSpeech(); break;
    case kCopyText: {
        const bool on = rt_->text.out.clipboard != 0;
        settings_.change([on](PlayerSettings& s) { s.copyText = on; }, now);
        break;
    }
    case kSkipUnread: {
        const bool unread = rt_->app.fastUnread != 0;
        settings_.change([unread](PlayerSettings& s) { s.skipUnread = unread; }, now);
        break;
    }
    case kBarVolume: case kPopVolume: {
        // Only what the player moved in the dialog: a volume a script set stays the game's.
        Volume& v = rt_->media.volume;
        int32_t volume = 0;
        bool mute = false;
        uint16_t wave = 0;
        const bool haveVolume = v.percent(volume), haveMute = v.mute(mute), haveWave = v.waveLevel(wave);
        settings_.change([&](PlayerSettings& s) {
            if (haveVolume && volume != volumeBefore) s.volume = volume;
            if (haveMute && mute != muteBefore) s.mute = mute;
            if (haveWave && wave != waveBefore) s.waveVolume = wave;
        }, now);
        break;
    }
    default: break;
    }
}

void Shell::rememberDisplayMode() {
    const bool full = rt_->app.fullScreen != 0;
    settings_.change([full](PlayerSettings& s) { s.fullScreen = full; }, platform_.clock().nowMs());
}

void Shell::onWindowAreaChanged(int width, int height) {
    // A window being dragged reports many sizes: the one it settles at is kept.
    settings_.change([&](PlayerSettings& s) {
        s.windowWidth = width;
        s.windowHeight = height;
    }, platform_.clock().nowMs(), 500);
}

// A player reading the history (or another dialog of the menus) is not hurried: auto mode
// waits meanwhile, and the page's wait starts again once the dialog has closed.
template <class F>
void Shell::holdingAutoMode(F&& dialog) {
    AppState& a = rt_->app;
    ++a.playerDialogs;
    dialog();
    --a.playerDialogs;
    if (a.autoMode) a.autoSinceMs = rt_->clock().nowMs();
}

void Shell::onRedrawn() { app::onRedrawn(*rt_, closing_); }

void Shell::setScaleFilter(ScaleFilter f) {
    using namespace ui::menuid;
    platform_.setScaleFilter(f);
    rt_->app.menus.checkOnly(MenuWhich::Bar, {kFilterSharp, kFilterNearest, kFilterSmooth},
                             f == ScaleFilter::Nearest  ? kFilterNearest
                             : f == ScaleFilter::Smooth ? kFilterSmooth
                                                        : kFilterSharp);
}

// Alt+Enter and F11 switch as the menu bar's entries do, marks included, whatever the game
// has done to its menus.
void Shell::onToggleFullScreen() {
    if (closing_) return;
    if (rt_->app.fullScreen)
        app::switchToWindowMode(*rt_, true);
    else
        app::switchToFullScreen(*rt_, true);
    rememberDisplayMode();
}

void Shell::onCloseForced() { forceClose(false); }

void Shell::beginClose() {
    Runtime& rt = *rt_;
    if (rt.app.fullScreen) {
        // Back to the desktop before the window goes away.
        platform_.leaveFullScreen(false);
        rt.app.fullScreen = 0;
        rt.config.full = 0;
    }
    rt.config.debug = 0;
    rt.config.debugPrev = 0;
    // The halt flag makes a step in progress return before its next wait check; the pending
    // wait time belongs to the interpreter thread and is left to it.
    rt.interp.halt = 1;
    rt.interp.closing = 1;
    rt.interp.stepsEnabled = 0;
    rt.interp.clickWaitMode = 0;
    closing_ = true;
    platform_.wakeLoop();
}

bool Shell::onCloseRequest() {
    Runtime& rt = *rt_;
    if (rt.config.endMessage != 0) {
        const Bytes title = app::windowTitle(rt);
        const Bytes text = title + utf8ToCp932(" を終了します。\n終了してよろしいですか？");
        if (platform_.messageBox(text, title, MsgButtons::YesNo, MsgIcon::Question) != kIdYes)
            return false;
    }
    beginClose();
    return true;
}

void Shell::forceClose(bool timedOut) {
    // A close under way (Escape, the window's close) is not turned into a timeout by a limit
    // reached meanwhile.
    if (closing_) return;
    if (timedOut) timedOut_ = true;
    beginClose();
}

void Shell::requestSignalClose() {
    signalled_ = true;
    platform_.dismissDialogs();
    platform_.wakeLoop();
}

bool Shell::onIdle() {
    if (closing_) return true;
    app::restoreTitleWhenDue(view_);
    app::updateFastForwardTitle(view_);
    settings_.tick(platform_.clock().nowMs());
    refuseSpeechWithoutService();
    // The wheel opens the history where a menu offers it, unless the game greyed it there.
    if (rt_->app.historyWanted.exchange(0)) {
        const Runtime& rt = *rt_;
        const MenuModel& m = rt.app.menus;
        const bool full = rt.app.fullScreen != 0;
        const bool bar = rt.app.menuOn == 1 && rt.app.barAttached == 1;
        const bool popup = (rt.config.popMenu == 1 && !full) || (rt.config.popFullMenu == 1 && full);
        using namespace ui::menuid;
        if ((bar && m.pickable(MenuWhich::Bar, kHistory)) || (popup && m.pickable(MenuWhich::Popup, kHistory)))
            onMenuCommand(kHistory);
    }
    if (signalled_) {
        forceClose(false);
        return true;
    }
    if (options_.maxSeconds > 0 &&
        std::chrono::steady_clock::now() - realStart_ >
            std::chrono::duration<double>(options_.maxSeconds)) {
        forceClose(true);
        return true;
    }
    // Without a window the game is over once the script has ended.
    if (platform_.headless() && started_ && !rt_->interp.threadActive) return true;
    return false;
}

int Shell::run() {
    platform_.run(*this);
    // The main window has closed: the debug windows go with it.
    if (debugWindows_) {
        platform_.setDebugWindows(nullptr);
        debugWindows_->closeAll();
    }
    shutdown();
    return timedOut_ ? 124 : 0;
}

void Shell::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    Runtime& rt = *rt_;
    settings_.flush();
    script::stop(rt);
    if (interpreter_.joinable()) interpreter_.join();
    // The window has gone: once system.dat is written a new copy may start. A game closed
    // before its script ended (a close, Escape, a signal, the time limit) leaves where it was
    // for --continue, one that ended takes that away.
    if (started_) {
        save::writeSystemSave(rt);
        save::writeReadText(rt);
        save::leaveResumeFile(rt, rt.interp.scriptEnded != 0);
    }
    instance_.release();
    media::stop(rt);
    if (started_) {
        if (options_.screenshot) {
            int w = 0, h = 0;
            const std::vector<uint8_t> frame = app::shownPicture(rt.platform, rt.config, w, h);
            if (writePng(*options_.screenshot, frame.data(), w, h))
                std::fprintf(stderr, "screenshot: %s\n", fs::absolute(*options_.screenshot).c_str());
            else
                std::fprintf(stderr, "yorvane: %s\n",
                             i18n::trf("cannot write the screenshot %s", {options_.screenshot->string()}).c_str());
        }
    }
    platform_.setMenus(nullptr);
    instance_.release();
}

}  // namespace yv
