#!/usr/bin/env bash
# The real binary: fails cleanly without a display, and with one opens its window
# titled "Velmora" and exits 0 when ESCAPE is pressed.
set -uo pipefail
source "$(dirname "$0")/window.sh"
binary="$1"
cd "$2"

output=$(env -u DISPLAY -u WAYLAND_DISPLAY "$binary" </dev/null 2>/dev/null)
status=$?
if [ "$status" -ne 255 ] || [ "$output" != "Failed to init GLFW" ]; then
    fail "without a display: expected 'Failed to init GLFW' and status 255, got '$output' and $status"
fi

start_game "$binary" /dev/null
quit_game
echo "binary smoke test passed"
