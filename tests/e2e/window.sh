# Shared by the end-to-end scripts: start the real game and talk to its window.

fail() {
    echo "$1"
    exit 1
}

# start_game BINARY LOG: starts the game; sets $game (pid) and $window (X window id).
start_game() {
    "$1" </dev/null >"$2" 2>&1 &
    game=$!
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name '^Velmora$' 2>/dev/null | head -n1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window titled Velmora appeared"
    xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# Held long enough for a slow frame to see it.
press() {
    xdotool keydown "$1"
    sleep 0.4
    xdotool keyup "$1"
}

# Presses ESCAPE and expects the game to end with status 0. The press is repeated while
# the game still starts up: keys pressed and released before its first frame are not seen.
quit_game() {
    for _ in $(seq 20); do
        kill -0 "$game" 2>/dev/null || break
        press Escape
        sleep 0.5
    done
    kill -0 "$game" 2>/dev/null && fail "the game did not end on ESCAPE"
    wait "$game" || fail "the game ended with a non-zero status after ESCAPE"
}
