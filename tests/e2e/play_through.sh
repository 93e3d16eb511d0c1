#!/usr/bin/env bash
# A whole game through the real binary, as a player would: SPACE starts it, with no input
# the ship flies into the wall at the end of the first tunnel and the game-over picture
# appears; ENTER returns to the intro and a second SPACE starts a new game.
set -uo pipefail
source "$(dirname "$0")/window.sh"
binary="$1"
data="$2"
work=$(mktemp -d)
trap 'kill "$game" 2>/dev/null; rm -rf "$work"' EXIT
cd "$data"

# How far the window's picture is from a reference picture (0 same, 1 opposite).
distance_to() {
    import -window "$window" "$work/shot.png" 2>/dev/null
    convert "$data/Models/$1" -resize 1280x720\! "$work/reference.png"
    compare -metric RMSE "$work/shot.png" "$work/reference.png" null: 2>&1 |
        sed -n 's/.*(\([0-9.e-]*\)).*/\1/p'
}

shows() {
    local d
    d=$(distance_to "$1")
    awk -v d="$d" 'BEGIN { exit !(d != "" && d < 0.08) }'
}

wait_until_shows() {
    for _ in $(seq "$2"); do
        shows "$1" && return 0
        sleep 0.5
    done
    return 1
}

start_game "$binary" "$work/game.log"
wait_until_shows Intro.bmp 20 || fail "the intro picture is not shown"
press space
wait_until_shows GameOver.bmp 20 || fail "no game-over picture within 10 s of SPACE"
press Return
wait_until_shows Intro.bmp 10 || fail "ENTER did not return to the intro"
press space
sleep 2
shows Intro.bmp && fail "a second SPACE did not start a new game"
shows GameOver.bmp && fail "the second game ended at once"
quit_game
echo "play-through passed"
