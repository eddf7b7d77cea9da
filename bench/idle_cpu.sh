#!/bin/sh
# CPU use of the real program in a window under Xvfb over 10 s, beside a minimal SDL window that
# redraws only on change and a minimal SDL program presenting a full picture every 30 ms, in the
# same run: at a click wait, during a running fade, and at a text page waiting for a click with
# its icon blinking.
#   bench/idle_cpu.sh [path/to/yorvane] [seconds]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$here/build/yorvane}
secs=${2:-10}
[ -x "$bin" ] || { echo "no program at $bin (build the yorvane target first)" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "xvfb-run missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The peer: a plain SDL window with a renderer that sleeps in SDL_WaitEventTimeout and draws on
# expose only.
cat >"$work/peer.c" <<'C'
#include <SDL.h>
int main(int argc, char** argv) {
    (void)argc; (void)argv;
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* w = SDL_CreateWindow("peer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 502, 0);
    SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!r) r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
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

# The fade's peer: a plain SDL program that uploads and presents a whole 640 x 480 picture as
# often as a fade at the default pace presents (every 30 ms), with SDL's default renderer.
cat >"$work/fadepeer.c" <<'C'
#include <SDL.h>
#include <string.h>
int main(int argc, char** argv) {
    (void)argc; (void)argv;
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* w = SDL_CreateWindow("peer", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, 0);
    SDL_Renderer* r = SDL_CreateRenderer(w, -1, 0);
    SDL_Texture* t = SDL_CreateTexture(r, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING, 640, 480);
    static unsigned char pixels[640 * 480 * 3];
    for (unsigned step = 0;; ++step) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) goto done;
        memset(pixels, (int)(step & 255), sizeof pixels);
        SDL_UpdateTexture(t, NULL, pixels, 640 * 3);
        SDL_RenderCopy(r, t, NULL, NULL);
        SDL_RenderPresent(r);
        SDL_Delay(30);
    }
done:
    SDL_Quit();
    return 0;
}
C
cc -O2 -o "$work/fadepeer" "$work/fadepeer.c" $(pkg-config --cflags --libs sdl2)

mkdir -p "$work/wait" "$work/fade" "$work/page"
# A text page waiting for a click, its click-wait icon blinking: where a player spends most time.
printf '[TEXT]\r\nSpeed=-1\r\n' >"$work/page/start.ini"
printf '#createtextf(1, 1);\r\n#locatef(0, 40, 360);\r\n#settextspeedf(0, -1);\r\n@A = "page of text\\p";\r\n#printtext(0);\r\n#end();\r\n' \
    >"$work/page/script.txt"
printf '' >"$work/wait/start.ini"
printf '|top:\r\n#mouseclickwait(1);\r\n#goto("top");\r\n' >"$work/wait/script.txt"
printf '' >"$work/fade/start.ini"
printf '|top:\r\n#fillclr(1, rgb(200, 40, 40));\r\n#transfade(0, 2, 256);\r\n#fillclr(1, rgb(40, 40, 200));\r\n#transfade(0, 2, 256);\r\n#goto("top");\r\n' \
    >"$work/fade/script.txt"

cat >"$work/measure.sh" <<'SH'
# ticks of user + system time of a process (all its threads)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# percent of one core a command uses over $secs after a second to settle
measure() {
    "$@" 2>/dev/null & pid=$!
    sleep 1.5
    a=$(ticks $pid); sleep "$secs"; b=$(ticks $pid)
    kill -TERM $pid; wait $pid 2>/dev/null || true
    awk -v t=$((b - a)) -v hz="$(getconf CLK_TCK)" -v s="$secs" 'BEGIN { printf "%.2f", 100 * t / hz / s }'
}
peer=$(measure "$work/peer")
fadepeer=$(measure "$work/fadepeer")
wait_cpu=$(measure "$bin" "$work/wait")
fade_cpu=$(measure "$bin" "$work/fade")
page_cpu=$(measure "$bin" "$work/page")
echo "CPU over ${secs} s under Xvfb, percent of one core:"
echo "  minimal SDL window (redraws on expose):  $peer %"
echo "  yorvane at a click wait:                 $wait_cpu %"
echo "  minimal SDL program presenting 33 full pictures a second:  $fadepeer %"
echo "  yorvane during a running fade:           $fade_cpu %"
echo "  yorvane at a text page's click wait:     $page_cpu %"
SH
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} work bin secs
xvfb-run -a -s '-screen 0 1280x1024x24' sh "$work/measure.sh"
