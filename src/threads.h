// The thread contract: which thread owns which state, and what crosses between them and how.
// Keep it true when adding shared state. (No code: this header is the one place it is written.)
//
// THREADS
//   Window thread   the process's main thread: runs Platform::run (the SDL event loop, or the
//                   headless loop), turns mouse and keys into game state (app::applyInput, which
//                   sees the game through app::WindowView: the shared flags, the settings, the
//                   platform and the clock, never the Runtime), runs
//                   the menus, the modal dialogs and the close sequence, draws the window,
//                   runs the movie frame timer (playavi's frames: FramePlayer::tick).
//                   Start-up (Shell::start) and shutdown (Shell::shutdown) run here too.
//   Interpreter     the step loop (script::threadLoop): every command handler, all drawing into
//                   the screens, presents, the clock's sleeps, and so, on a manual clock, the
//                   scheduled events (headless clicks, the --max-seconds stop).
//   Audio callback  SDL's audio thread: AudioEngine::mix. Never locks, waits or allocates; it
//                   takes commands from a lock-free ring and publishes what it plays in atomics.
//                   Headless there is none: the thread that moves the manual clock pulls the mix
//                   (AudioEngine::pull) every 10 ms of clock time and runs the players' ticks
//                   and the movie frame timer's ticks.
//   Helpers         the stream decoder (fills the chunk rings of CD tracks and compressed
//                   sounds every 10 ms; real devices only), the soundfont loader (once, at
//                   start-up), the CD track finder (once, at start-up). Each touches only its own
//                   object until it publishes the result through an atomic.
//   Speaker         reading aloud's worker (platform/speechd_speaker), started when reading
//                   aloud is first turned on: connects to speech-dispatcher and makes every
//                   libspeechd call; it sees only its SpeechLine, which it shares with the
//                   speaker and keeps while it runs.
//   (No decoder threads: the movie decoder runs FFmpeg with one thread, on the thread that
//   calls it: playmciavi's frames on the interpreter, playavi's on the frame timer's.)
//   Signal watcher  (CloseSignals, app/close_signals) reads the self-pipe SIGTERM, SIGINT and
//                   SIGHUP write to and, through main's CloseRoute (under its lock), only sets
//                   Shell::signalled_ and wakes the window loop, whose onIdle then closes the
//                   game as a window close would; while the launcher is open it sets the
//                   launcher's flag and pushes an SDL_QUIT (the launcher takes the route back
//                   before SDL goes).
//
// OWNERSHIP
//   The interpreter thread owns the Runtime: interp (script, position, variables, stacks),
//   screens and overlay, text, choices, save, media, config after start-up. The window thread
//   writes that state only while the interpreter cannot run: during start-up (before
//   stepsEnabled is first set), and after shutdown has stopped the thread. Setting an atomic
//   flag (seq_cst) is what hands the state over.
//   The window thread owns the window: SDL objects, ImGui (the game window's context and each
//   debug window's own), the texture, the modal dialog state, the debug windows' model,
//   AppState::enterSeen/lastEnterMs/lastDrawnMode. Calls from the interpreter that must touch the
//   window are carried out there (WindowTasks) and the caller waits for the answer.
//   The window thread never waits for the interpreter thread while its loop runs (only
//   shutdown, after the loop, waits for the thread to end): so the interpreter may wait for the
//   window thread (dialogs, window tasks, headless input hand-over) without a deadlock.
//
// WHAT CROSSES: ATOMICS (one writer side sets, the other polls or waits)
//   Interp::running, suspended, threadActive, stepsEnabled, halt, closing    WakeFlag: every
//       store that changes one notifies Interp::wake (skipping the lock when no thread waits),
//       so the interpreter's idle waits, its pacing sleep (Clock::waitFor) and script::stop wake
//       at once; a close (halt) cuts the pause short.
//       Every sleep inside a step goes through Runtime::sleep, a Clock::waitFor that ends when
//       `closing` (set once by the close sequence) or a stop is stored; on a manual clock it
//       also ends after the event that closed (the --max-seconds stop), so no later event fires.
//   Interp::leftClick, rightClick    set by input (window thread), cleared by the step
//       (relaxed, after every statement: the flags carry nothing but themselves).
//   Interp::clickWaitMode            set by commands, cleared by the close.
//   Interp::inProgress (InProgress)  the step's one word of what is in progress, a bit per
//       flag: Media::volumeFading, cdWait; Screens::effectOn, fadeOn, wipeOn, transfadeOn,
//       mosaicfadeOn; Choices::collecting, ready, trapButton; TextState::printing;
//       WaitGate::waitMs; Interp::clickWaitMode. Each flag's store keeps its bit. All but the
//       click wait are stored by the interpreter thread alone, whose bits change by a plain
//       relaxed load and store; the click wait (the close clears it on the window thread)
//       changes its bit by a relaxed read-modify-write. An interpreter store made just as the
//       close clears the click wait may set that bit again: the word then says more is in
//       progress than is, and the step's next look, finding no click wait, clears it. A
//       close that meets a mouseclickwait being run may leave the bit clear with the wait set:
//       the close has set the halt flag before, so no statement runs after it.
//   Interp::pacingMs                 the speed menu (window) -> the step loop.
//   Interp::stepsPerSecond           step loop -> debug windows.
//   DebugTap (Interp::debug): active, monitorOn, previewOn, traceOn, previewOffset   the debug
//       windows' switches (window thread) -> the interpreter, which looks at statement
//       boundaries only while `active` holds. wantVariables, wantScreens (WakeFlags): the
//       windows ask for copies, the interpreter answers at its next statement boundary, after
//       a step, or while it waits (halted or paused). paused, stepGrant (WakeFlags): the watch
//       mode holds the interpreter between statements and lets one through; holding: the
//       interpreter says it holds. (Once the interpreter thread has ended, the window thread
//       makes the copies itself.)
//   AppState: fullScreen, menuOn, barAttached, barKept, fullMenuShown, menusFree, skip,
//       stopAtWait, endSkip, noWait, choiceBlock, choiceList, textClickWait, navSteps,
//       mouseX, mouseY               flags shared by the menus, input, text and choices.
//   AppState::fastHeld, fastMode, fastUnread   fast-forward: input and the menus (window) set
//       them, the renderer reads them and ends the mode at a stop (interpreter); the window
//       loop shows the title notice (fastTitleShown, fastTitleBase are the window thread's).
//   Speech::on, talking (AppState::speech)   reading aloud: the V key and the menu (window)
//       turn it on, a click cuts what is said (window), the renderer and the choices say pages
//       and highlights (interpreter). The speaker takes both threads' calls (below); its
//       `failed_` (the service proved missing) is read by the window loop, which greys the entry.
//   Shell::signalled_                 set by the signal watcher, read by the window loop.
//   SaveState::quickRequest           F5 / F9 (window thread) -> served between steps.
//   Interp::scriptEnded               end, breakapp, the text's end (interpreter) -> the shell
//       once the thread has stopped (a resume file or none).
//   AppState::titleNotice             under TitleNotice::mutex_ (see below).
//   Config::full, fullBits (SharedInt)   the display-mode switch (window thread) -> steps.
//   Platform flags: close requested, close enabled, the pointer warp request, full screen, the
//       menu model pointer, the pointer position, presents counted; SDL: the redraw wish (a
//       present, a title, a filter), the forced close and dialog dismissal (a close during a
//       dialog, a signal), the scaling filter, the wake event already queued. Whoever sets one
//       wakes the window loop (Platform::wakeLoop pushes one SDL user event; WindowTasks wakes
//       it for each posted call), which sleeps in SDL_WaitEventTimeout until then, the
//       players' next tick or a due frame.
//   MenuModel::version_               grows with every change; the window redraws when it moved.
//   ManualClock's time                read anywhere, moved only by the thread that sleeps.
//   FilePlayer/CdPlayer::enabled, playing, status, timer; Media::fadeHold   the players'
//       flags: commands (interpreter) and ticks (window thread) both read and write them.
//       fadeHold is set before a blocking fade sets halt and cleared after it clears it, so a
//       tick never takes that halt for the end of the script.
//   AudioEngine: the gains and mute (control side -> mix), each voice's sounding flag, end
//       count, position and applied command number (mix -> control side), the sources the mix
//       still fades out (mix -> control side), the pass counter, the synthesizer pointer
//       (published once the soundfont has loaded), the soundfont state.
//   A stream source's cancel flag      the control side (dropping it, shutdown) -> whoever fills
//       it; with Interp::closing it makes every FFmpeg read fail at once (audio/ffmpeg_input).
//   CdPlayer::found_                  the track finder -> the players (the disc is complete).
//   CdPlayer::finderStop_             shutdown -> the track finder, which also reads
//       Interp::closing: either ends its reads at once.
//   FramePlayer::playing_             whether playavi's movie still plays (tests, shutdown).
//   MovieDevice: enabled, playing, skip   playmciavi (interpreter) holds the script while
//       `playing`; Escape on the window thread sets `skip` instead of closing the window.
//
// WHAT CROSSES: HAND-OVERS UNDER A LOCK (held only for a short copy; the mutexes)
//   Every mutex of src/ is named here as Class::member (tests/tools/thread_contract_test.cpp
//   fails on one that is not). They are yv::Mutex (core/mutex.h): the members each guards say
//   YV_GUARDED_BY, and clang's -Wthread-safety (an error in the clang build) checks every
//   access.
//   SdlPlatform::mutex_ (+ shotCv_)   the presented picture and its dirty rectangle (present
//       copies the rectangle in, the window uploads that rectangle out), the title, the UI's
//       item rectangles, the window picture asked for by tests and F12.
//   SdlPlatform::postMutex_           whether other threads may still post SDL events: the
//       window closes it before the window goes, so no wake-up is under way as it does.
//   SdlPlatform::tickMutex_           the players' tick function, the movie frame timer's
//       function, period and due time.
//   WindowTasks::mutex_ (+ cv_)       calls from the interpreter run on the window thread, the
//       caller waiting for the answer (dialogs, window operations): the queue, each call's
//       done flag, stopped.
//   HeadlessPlatform::loopMutex_ (+ loopCv_)   the headless window loop's hand-over: posted
//       input (the poster waits until the loop has passed it to the game, so a click scheduled
//       on the manual clock is seen at the step it fires in), menu picks, wake requests.
//   HeadlessPlatform::mutex_          dialog answers, log and echo switch, title, the presented
//       picture, the window's position and size.
//   HeadlessPlatform::videoMutex_     the movie frame timer's function and generation.
//   HeadlessPlatform::Sound::mutex    the players' tick function and the --audio-out writer.
//   CloseRoute::mutex_ (app/main.cpp)  where a signal goes (launcher or game) and a signal
//       kept for the next; the signal watcher fires it, the window thread points it. The
//       target runs under the lock (it only sets a flag and wakes a loop).
//       CloseRoute::fired_ (an atomic) says a signal came: main's launcher loop then ends the
//       program instead of showing the launcher again.
//   MenuModel::mutex_                 the menus: commands change entries (interpreter), the
//       window draws a snapshot copy.
//   AppState::titleMutex              AppState::title_, the window title (the Title setting, then
//       settitle's): settitle writes, dialogs, saves and the title restore read a copy.
//   TitleNotice::mutex_               AppState::titleNotice, a passing note in the window title
//       (F12's picture, F5 / F9): shown by either thread, put away by the window loop; the
//       platform's setTitle runs under it (it only stores the text and wakes the loop).
//   PlayWarnings::mutex               --warnings: the places already warned about and the last
//       lines; the interpreter writes them.
//   History::mutex                    the message history's rings and indexes: the renderer
//       appends, the history dialog copies the lines (`recording` is the interpreter's alone).
//   ManualClock::mutex_               the scheduled events: added from any thread, fired by
//       the thread that moves the clock (outside the lock).
//   WakeSignal::mutex_ (+ cv_)        no data (Interp::wake is one): taking it orders a flag's
//       store before a waiter's next look; the waiter count is an atomic.
//   RequestSlot::mutex_               each player's one-entry request slot (FilePlayer and
//       CdPlayer::slot_) and its state record: commands and replay post (interpreter), the tick
//       takes a copy and clears it (window thread). A generation count keeps a request posted
//       while the tick worked from being cleared.
//   FilePlayer::deviceMutex_, CdPlayer::deviceMutex_   the device side (open sound, ids,
//       flags): the tick and the position queries. A tick holds it while it reads and decodes a
//       sound file, through the resource reader (Resources::mutex_ is then taken from the
//       window thread too). The ticks see the game only through a PlayerView (mixer, resource
//       reader, flags).
//   CdPlayer::finderMutex_            the track finder's std::thread object: started by
//       create, joined by whoever must wait for the disc (a headless search, the disc's
//       reader, destroy, the destructor), so two joiners never race.
//   AudioEngine::control_             the control side of the mixer (voices' sources, command
//       numbers, sources waiting to be freed, whether the device rests); never taken by the
//       mix. The device is paused (restIfQuiet, the window loop's 100 ms look, after a second
//       of quiet passes published by the mix in AudioEngine::quiet_ and passes_) and resumed
//       (the next command, before it is queued) under it; SDL's own device lock, taken by
//       those calls, waits at most for the callback in progress, which never takes control_. Headless, pull() takes
//       it around the mix. A replaced source is freed only once the mix has applied the command
//       that replaced it and no fade plays it any more.
//   AudioEngine::streamsMutex_ (+ streamsChanged_)   the list of streaming sources the decoder
//       keeps filled.
//   Volume::mutex_                    the game's volumes: commands and fades (interpreter), the
//       volume dialog (window thread); the gains reach the mix as atomics.
//   FramePlayer::mutex_               playavi's decoder, rectangle and frame number: playavi
//       (interpreter) opens and draws the first frame, the timer's ticks draw the rest. Never
//       held across a dialog (the messages are shown after it is let go) or a timer tick. It
//       is held while the timer is set (SdlPlatform::tickMutex_ or
//       HeadlessPlatform::videoMutex_ taken inside it), never the other way round.
//   DebugTap::mutex                   the debug windows' copies: the variables (and which rows
//       changed), the seven small screen pictures, the statement trace (last 500) and the
//       statement a pause holds at. The interpreter writes them, the window thread copies them
//       out; neither holds it for more than a copy. The windows never read Interp or Screens.
//   Resources::archiveMutex_, Resources::mutex_   the archive handles, and the path and
//       version caches: used by start-up (window thread) and the script (interpreter); an
//       archive read is a file read under the lock, contended only if the window thread reads
//       resources while the script runs (the load dialog to come).
//   ScriptCache::mutex                read scripts by name: start-up and the interpreter, never
//       at the same time; redundant under this contract, kept as it costs nothing uncontended.
//       ScriptCache::recent... are the interpreter thread's only (start-up before it runs).
//   SaveState::requestMutex           the slot requests a menu pick leaves for the
//       interpreter (window thread posts, the interpreter serves them between steps).
//   SpeechLine::mutex_ (+ wake_)   the text to say next (the latest wins) and the
//       cut and quit requests: the window and interpreter threads post, the speaker's own worker
//       thread takes them and makes the libspeechd calls, which may wait on the service's
//       socket, outside the lock. The worker holds the line too: a close waits 300 ms for it,
//       and a worker still connecting then is left to end by itself.
//   ThumbnailCache::mutex_            the save slots' thumbnails, the folder they are read
//       beneath and the decode count: the menus (window thread) and saves (interpreter).
//   (The font lookups' cache is no longer a process-wide static: each FontEngine keeps its
//   own, owned by TextState and used by the interpreter alone, so it needs no lock.)
//
// THE DISPLAY-MODE SWITCH
//   A display-mode switch from the menus sets `suspended` but does not wait for the step in
//   progress to finish (as the original did not). What it writes that a step may read is
//   atomic: AppState's flags, Interp's, the platform's, and Config::full and Config::fullBits
//   (SharedInt: each read a load, each write a store, a copy of Config a load of each). The
//   menus it marks are MenuModel's, under MenuModel::mutex_. No race is known to remain here;
//   a step may still see the mode change between two of its reads, as it could on the
//   original.
#pragma once
