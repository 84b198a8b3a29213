#!/usr/bin/env bash
# Takes a screenshot of every level of the pack from the real game under a
# private Xvfb and writes them to docs/screenshots/ (or the directory given),
# and measures each level's frame rate there, on Mesa's llvmpipe.
#
#   bash tools/screenshots.sh [build/pinwhirl] [output-directory]
#
# Each level is shown on its own: the game runs in a scratch folder whose
# scene list names that level first and the game-over screen last, so the
# level starts as a player sees it, waiting for the first throw.
#
# The frame rate is the game's buffer swaps, counted by a small preloaded
# library, over SECONDS (default 3): while the level waits for a throw, and
# while a throw straight up the lane rolls. The machine's other work lowers it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/pinwhirl}")
out=$(realpath -m "${2:-$root/docs/screenshots}")
seconds=${SECONDS_MEASURED:-3}
pack="$root/levels"
mkdir -p "$out"

display=${SCREENSHOT_DISPLAY:-}
if [ -z "$display" ]; then
    display=120
    while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
        display=$((display + 1))
    done
fi
Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfbPid=$!
work=$(mktemp -d)
[ -n "${KEEP_WORK:-}" ] && echo "scratch: $work"
gamePid=""
cleanup() {
    [ -n "$gamePid" ] && kill "$gamePid" 2>/dev/null || true
    kill "$xvfbPid" 2>/dev/null || true
    wait 2>/dev/null || true
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

# The count of swaps, rewritten in place after each one with the time it was
# made, so that a reading never sees half a line.
cat >"$work/swaps.c" <<'EOF'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
void SDL_GL_SwapBuffers(void)
{
    static long swaps;
    static FILE *out;
    ((void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"))();
    if (!out && !(out = fopen(getenv("SWAPS_OUT"), "w"))) abort();
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    rewind(out);
    fprintf(out, "%12ld %20.6f\n", ++swaps, now.tv_sec + now.tv_nsec / 1e9);
    fflush(out);
}
EOF
gcc -shared -fPIC -O2 -o "$work/swaps.so" "$work/swaps.c" -ldl

# Frames a second over the measured seconds: the swaps between two readings.
rate() {
    local a b
    read -r -a a <"$work/swaps"
    sleep "$seconds"
    read -r -a b <"$work/swaps"
    python3 -c "import sys; print('%.0f' % ((int(sys.argv[3]) - int(sys.argv[1])) / (float(sys.argv[4]) - float(sys.argv[2]))))" \
        "${a[@]}" "${b[@]}"
}

# The scene files, in the order of the pack's list (skip the header).
mapfile -t scenes < <(awk 'NR > 1 && NF >= 2 { print $2 }' "$pack/scenelist.txt")
last=${scenes[${#scenes[@]} - 1]}

printf '%-40s %8s %8s\n' "picture (frames a second:)" waiting rolling
for scene in "${scenes[@]}"; do
    dir="$work/${scene%.scene}"
    mkdir -p "$dir"
    ln -s "$pack"/* "$dir"/
    rm "$dir/scenelist.txt"
    if [ "$scene" = "$last" ]; then
        printf 'scenes 1\nover %s\n' "$scene" >"$dir/scenelist.txt"
    else
        printf 'scenes 2\nlevel %s\nover %s\n' "$scene" "$last" >"$dir/scenelist.txt"
    fi
    # A game that could not reach the display is started again (an X server
    # that resets when its last client leaves turns new clients away for a
    # moment; ours runs with -noreset, but a display given from outside may not).
    for _ in 1 2 3 4 5; do
        (cd "$dir" && SWAPS_OUT="$work/swaps" LD_PRELOAD="$work/swaps.so" exec stdbuf -oL "$bin" >"$dir/stdout" 2>&1) &
        gamePid=$!
        for _ in $(seq 200); do
            grep -q -e "done loading scene from file" -e "SDL_Init failed" "$dir/stdout" 2>/dev/null && break
            sleep 0.1
        done
        grep -q "done loading scene from file" "$dir/stdout" && break
        wait "$gamePid" 2>/dev/null || true
        gamePid=""
        sleep 2
    done
    # let the pins settle and the camera swing onto the ball
    sleep 1
    waiting=$(rate)
    import -window root "$out/${scene%.scene}.png"
    rolling=-
    if [ "$scene" != "$last" ]; then
        # a drag of 200 px up the screen in half a second
        xdotool mousemove 320 400 && sleep 0.2 && xdotool mousedown 1
        for _ in $(seq 10); do
            xdotool mousemove_relative -- 0 -20
            sleep 0.05
        done
        xdotool mouseup 1
        rolling=$(rate)
    fi
    kill "$gamePid"
    wait "$gamePid" 2>/dev/null || true
    gamePid=""
    sleep 1
    printf '%-40s %8s %8s\n' "$out/${scene%.scene}.png" "$waiting" "$rolling"
done
