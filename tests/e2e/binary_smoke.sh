#!/usr/bin/env bash
# The real binary: fails cleanly without a display, and with one opens its window
# titled "Velmora" and exits 0 when ESCAPE is pressed.
set -uo pipefail
binary="$1"
cd "$2"

output=$(env -u DISPLAY -u WAYLAND_DISPLAY "$binary" </dev/null 2>/dev/null)
status=$?
if [ "$status" -ne 255 ] || [ "$output" != "Failed to init GLFW" ]; then
    echo "without a display: expected 'Failed to init GLFW' and status 255, got '$output' and $status"
    exit 1
fi

"$binary" </dev/null >/dev/null 2>&1 &
game=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name '^Velmora$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "no window titled Velmora appeared"
    kill "$game" 2>/dev/null
    exit 1
fi
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool keydown Escape
sleep 0.5
xdotool keyup Escape
for _ in $(seq 100); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game" 2>/dev/null; then
    echo "the game did not end on ESCAPE"
    kill "$game"
    exit 1
fi
wait "$game"
status=$?
if [ "$status" -ne 0 ]; then
    echo "the game ended with status $status after ESCAPE"
    exit 1
fi
echo "binary smoke test passed"
