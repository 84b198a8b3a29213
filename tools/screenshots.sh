#!/usr/bin/env bash
# Takes a screenshot of every level of the pack from the real game under a
# private Xvfb and writes them to docs/screenshots/ (or the directory given).
#
#   bash tools/screenshots.sh [build/pinwhirl] [output-directory]
#
# Each level is shown on its own: the game runs in a scratch folder whose
# scene list names that level first and the game-over screen last, so the
# level starts as a player sees it, waiting for the first throw.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/pinwhirl}")
out=$(realpath -m "${2:-$root/docs/screenshots}")
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

# The scene files, in the order of the pack's list (skip the header).
mapfile -t scenes < <(awk 'NR > 1 && NF >= 2 { print $2 }' "$pack/scenelist.txt")
last=${scenes[${#scenes[@]} - 1]}

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
        (cd "$dir" && exec stdbuf -oL "$bin" >"$dir/stdout" 2>&1) &
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
    sleep 2
    import -window root "$out/${scene%.scene}.png"
    kill "$gamePid"
    wait "$gamePid" 2>/dev/null || true
    gamePid=""
    sleep 1
    echo "$out/${scene%.scene}.png"
done
