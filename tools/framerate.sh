#!/usr/bin/env bash
# Measures the frame rate of every level of the pack in the real game under a
# private Xvfb (Mesa's llvmpipe): frames a second while the level waits for a
# throw, and while a throw straight up the lane rolls.
#
#   bash tools/framerate.sh [build/pinwhirl] [seconds]
#
# A small preloaded library counts the game's buffer swaps; the rate is the
# swaps between two readings of that count, over the time between them. The
# machine's other work lowers it: measure on a quiet machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/pinwhirl}")
seconds=${2:-3}
pack="$root/levels"
work=$(mktemp -d)

display=120
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfbPid=$!
gamePid=""
cleanup() {
    [ -n "$gamePid" ] && kill "$gamePid" 2>/dev/null || true
    kill "$xvfbPid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
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

# Frames a second over the given seconds: the swaps made between two readings.
rate() {
    local a b
    read -r -a a <"$work/swaps"
    sleep "$seconds"
    read -r -a b <"$work/swaps"
    python3 -c "import sys; print('%.0f' % ((int(sys.argv[3]) - int(sys.argv[1])) / (float(sys.argv[4]) - float(sys.argv[2]))))" \
        "${a[@]}" "${b[@]}"
}

mapfile -t scenes < <(awk 'NR > 1 && NF >= 2 { print $2 }' "$pack/scenelist.txt")
last=${scenes[${#scenes[@]} - 1]}
printf '%-22s %8s %8s\n' level waiting rolling
for scene in "${scenes[@]}"; do
    [ "$scene" = "$last" ] && continue
    dir="$work/${scene%.scene}"
    mkdir -p "$dir"
    ln -s "$pack"/* "$dir"/
    rm "$dir/scenelist.txt"
    printf 'scenes 2\nlevel %s\nover %s\n' "$scene" "$last" >"$dir/scenelist.txt"
    (cd "$dir" && SWAPS_OUT="$work/swaps" LD_PRELOAD="$work/swaps.so" exec stdbuf -oL "$bin" >"$dir/stdout" 2>&1) &
    gamePid=$!
    for _ in $(seq 200); do
        grep -q "done loading scene from file" "$dir/stdout" 2>/dev/null && break
        sleep 0.1
    done
    sleep 1
    waiting=$(rate)
    # a drag of 200 px up the screen in half a second
    xdotool mousemove 320 400 && sleep 0.2 && xdotool mousedown 1
    for _ in $(seq 10); do
        xdotool mousemove_relative -- 0 -20
        sleep 0.05
    done
    xdotool mouseup 1
    rolling=$(rate)
    kill "$gamePid"
    wait "$gamePid" 2>/dev/null || true
    gamePid=""
    printf '%-22s %8s %8s\n' "${scene%.scene}" "$waiting" "$rolling"
done
