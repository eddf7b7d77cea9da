#!/bin/sh
# Start-up time to a shown window and peak memory of the real program on a trivial game, beside a
# minimal SDL window, in the same run under Xvfb.
#   bench/startup.sh [path/to/yorvane] [runs]
# Time is from fork to the window's MapNotify on the root window (an X client started first
# listens for it, so no polling skews the figure); peak memory is VmHWM one second later.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$here/build/yorvane}
runs=${2:-5}
[ -x "$bin" ] || { echo "no program at $bin (build the yorvane target first)" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "xvfb-run missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The peer: the least a program needs to show an SDL window with its first picture. Like the
# player it creates the window hidden and shows it once the renderer has drawn, so both figures
# time the same thing: a window that appears with a picture in it.
cat >"$work/peer.c" <<'C'
#include <SDL.h>
int main(int argc, char** argv) {
    (void)argc; (void)argv;
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* w = SDL_CreateWindow("peer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 502, SDL_WINDOW_HIDDEN);
    SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!r) r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderClear(r);
    SDL_RenderPresent(r);
    SDL_ShowWindow(w);
    for (;;) {
        SDL_Event e;
        if (!SDL_WaitEventTimeout(&e, 100)) continue;
        if (e.type == SDL_QUIT) break;
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) {
            SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
            SDL_RenderClear(r);
            SDL_RenderPresent(r);
        }
    }
    SDL_Quit();
    return 0;
}
C
cc -O2 -o "$work/peer" "$work/peer.c" $(pkg-config --cflags --libs sdl2)

# The stopwatch: listens on the root window, starts the program, prints the milliseconds to its
# first top-level map, then its peak resident memory a second later, and stops it.
cat >"$work/stopwatch.c" <<'C'
#include <X11/Xlib.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
int main(int argc, char** argv) {
    Display* d = XOpenDisplay(NULL);
    if (!d || argc < 2) return 2;
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    double t0 = now();
    pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stderr);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify) break;
    }
    double ms = now() - t0;
    sleep(1);
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    long hwm = 0;
    FILE* f = fopen(path, "r");
    while (f && fgets(line, sizeof line, f))
        if (strncmp(line, "VmHWM:", 6) == 0) sscanf(line + 6, "%ld", &hwm);
    if (f) fclose(f);
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);
    printf("%.0f %.0f\n", ms, hwm / 1024.0);
    return 0;
}
C
cc -O2 -o "$work/stopwatch" "$work/stopwatch.c" $(pkg-config --cflags --libs x11)

mkdir -p "$work/game"
printf '' >"$work/game/start.ini"
printf '#mouseclickwait(1);\r\n' >"$work/game/script.txt"

cat >"$work/measure.sh" <<'SH'
# median of $runs: "ms MiB"
median() {
    for i in $(seq "$runs"); do "$work/stopwatch" "$@"; done | sort -n | awk '{a[NR]=$0} END {print a[int((NR+1)/2)]}'
}
peer=$(median "$work/peer")
ours=$(median "$bin" "$work/game")
echo "Start-up under Xvfb, median of $runs runs (ms to a shown window, peak MiB):"
echo "  minimal SDL window:    $peer"
echo "  yorvane, trivial game: $ours"
echo "$peer $ours" | awk '{printf "  ratio: time %.2f x, memory %.2f x\n", $3 / $1, $4 / $2}'
SH
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} work bin runs
xvfb-run -a -s '-screen 0 1280x1024x24' sh "$work/measure.sh"
