// The thread contract: which thread owns which state, and what crosses between them and how.
// Keep it true when adding shared state. (No code: this header is the one place it is written.)
//
// THREADS
//   Window thread   the process's main thread: runs Platform::run (the SDL event loop, or the
//                   headless loop), turns mouse and keys into game state (app::applyInput), runs
//                   the menus, the modal dialogs and the close sequence, draws the window.
//                   Start-up (Shell::start) and shutdown (Shell::shutdown) run here too.
//   Interpreter     the step loop (interp::threadLoop): every command handler, all drawing into
//                   the screens, presents, the clock's sleeps, and so, on a manual clock, the
//                   scheduled events (headless clicks, the --max-seconds stop).
//   Audio callback  (to come) pulls the mix; never waits on the other two, never allocates; its
//                   requests arrive in the players' one-entry slots.
//   Signal watcher  (CloseSignals, app/close_signals) reads the self-pipe SIGTERM, SIGINT and
//                   SIGHUP write to and only sets Shell::signalled_ and wakes the window loop,
//                   whose onIdle then closes the game as a window close would.
//
// OWNERSHIP
//   The interpreter thread owns the Runtime: interp (script, position, variables, stacks),
//   screens and overlay, text, choices, save, media, config after start-up. The window thread
//   writes that state only while the interpreter cannot run: during start-up (before
//   stepsEnabled is first set), and after shutdown has stopped the thread. Setting an atomic
//   flag (seq_cst) is what hands the state over.
//   The window thread owns the window: SDL objects, ImGui, the texture, the modal dialog state,
//   AppState::enterSeen/lastEnterMs/lastDrawnMode. Calls from the interpreter that must touch the
//   window are carried out there (WindowTasks) and the caller waits for the answer.
//   The window thread never waits for the interpreter thread while its loop runs (only
//   shutdown, after the loop, waits for the thread to end): so the interpreter may wait for the
//   window thread (dialogs, window tasks, headless input hand-over) without a deadlock.
//
// WHAT CROSSES: ATOMICS (one writer side sets, the other polls or waits)
//   Interp::running, suspended, threadActive, stepsEnabled, halt, closing    WakeFlag: every
//       store notifies Interp::wake, so the interpreter's idle waits, its pacing sleep
//       (Clock::waitFor) and interp::stop wake at once; a close (halt) cuts the pause short.
//       Every sleep inside a step goes through Runtime::sleep, a Clock::waitFor that ends when
//       `closing` (set once by the close sequence) or a stop is stored; on a manual clock it
//       also ends after the event that closed (the --max-seconds stop), so no later event fires.
//       (The volume fade's 150 ms slot sleep still uses Clock::sleepMs.)
//   Interp::leftClick, rightClick    set by input (window thread), cleared by the step.
//   Interp::clickWaitMode            set by commands, cleared by the close.
//   Interp::pacingMs                 the speed menu (window) -> the step loop.
//   Interp::stepsPerSecond           step loop -> debug windows.
//   AppState: fullScreen, menuOn, barAttached, barKept, fullMenuShown, menusFree, skip,
//       stopAtWait, endSkip, noWait, choiceBlock, choiceList, textClickWait, navSteps,
//       mouseX, mouseY               flags shared by the menus, input, text and choices.
//   Shell::signalled_                 set by the signal watcher, read by the window loop.
//   Platform flags: close requested, close enabled, the pointer warp request, full screen, the
//       menu model pointer, the pointer position, presents counted.
//   ManualClock's time                read anywhere, moved only by the thread that sleeps.
//
// WHAT CROSSES: HAND-OVERS UNDER A LOCK (held only for a short copy; the mutexes)
//   SdlPlatform::mutex_ (+ shotCv_)   the presented picture and its dirty rectangle (present
//       copies the rectangle in, the window uploads that rectangle out), the title, the UI's
//       item rectangles, the window picture asked for by tests and F12.
//   WindowTasks::mutex_ (+ cv_)       calls from the interpreter run on the window thread, the
//       caller waiting for the answer (dialogs, window operations).
//   HeadlessPlatform::loopMutex_ (+ loopCv_)   the headless window loop's hand-over: posted
//       input (the poster waits until the loop has passed it to the game, so a click scheduled
//       on the manual clock is seen at the step it fires in), menu picks, wake requests.
//   HeadlessPlatform::mutex_          dialog answers and log, title, the presented picture,
//       the window's position and size.
//   MenuModel::mutex_                 the menus: commands change entries (interpreter), the
//       window draws a snapshot copy.
//   AppState::titleMutex              the window title / Title setting: settitle writes,
//       dialogs read.
//   History::mutex                    the message history: the renderer appends, the history
//       dialog copies the lines.
//   ManualClock::mutex_               the scheduled events: added from any thread, fired by
//       the thread that moves the clock (outside the lock).
//   Interp::wake (WakeSignal)         no data: orders a flag's store before a waiter's look.
//   Resources::archiveMutex_, Resources::mutex_   the archive handles and the path and version
//       caches: used by start-up (window thread) and the script (interpreter); an archive
//       read is a file read under the lock, contended only if the window thread reads
//       resources while the script runs (the load dialog to come).
//   ScriptCache::mutex                read scripts by name: start-up and the interpreter, never
//       at the same time; redundant under this contract, kept as it costs nothing uncontended.
//   resolveFace's static mutex (text/font.cpp)   a process-wide cache of font lookups; a
//       global where the Runtime should own it: to move into TextState.
//
// KNOWN GAP
//   A display-mode switch from the menus sets `suspended` but does not wait for the step in
//   progress to finish (as the original did not). It writes window state and AppState atomics,
//   and also the plain Config fields full and fullBits, which a step could read meanwhile:
//   those two should become atomics, or the switch should wait for the step to end.
#pragma once
