#!/usr/bin/env bash
# Under a virtual X server (xvfb-run): starts the installed pellucard on its demo card, waits until
# its main window is on the screen and ends it with SIGTERM. Fails when no main window shows
# within a minute, when the first window to show is a message box (the program could not start),
# or when the program ends otherwise than by the signal (a crash, an exit of its own).
set -euo pipefail
# Settings, data and the single-instance lock of their own: the user's stay as they are and no
# running copy keeps this one from starting. Qt takes the X server, not another platform.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

/usr/bin/pellucard --demo &
pid=$!
stop() {
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Every window of the program is titled "Pellucard" (the main window's title may go on with the
# child window shown maximised); the main window is the one of type normal, a message box is a
# dialog.
if ! windows=$(timeout 60 xdotool search --sync --onlyvisible --name '^Pellucard'); then
    echo "main_window_shows: no window of pellucard showed within 60 s" >&2
    stop
    exit 1
fi
main=""
for window in $windows; do
    type=$(timeout 10 xprop -id "$window" _NET_WM_WINDOW_TYPE || true)
    if [[ "$type" == *_NET_WM_WINDOW_TYPE_NORMAL* ]]; then
        main=$window
    fi
done
if [ -z "$main" ]; then
    echo "main_window_shows: pellucard showed a message box, not its main window" >&2
    stop
    exit 1
fi
if ! kill -0 "$pid" 2>/dev/null; then
    echo "main_window_shows: pellucard ended after its main window showed" >&2
    wait "$pid" || true
    exit 1
fi
echo "main_window_shows: the main window of pellucard (pid $pid) shows: $(xdotool getwindowname "$main")"

kill -TERM "$pid"
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "main_window_shows: pellucard did not end within 10 s of SIGTERM" >&2
    stop
    exit 1
fi
status=0
wait "$pid" || status=$?
# 128 + 15: ended by SIGTERM, which the program leaves to its default action.
if [ "$status" -ne 143 ]; then
    echo "main_window_shows: pellucard ended with status $status, not by SIGTERM (143)" >&2
    exit 1
fi
echo "main_window_shows: pellucard ended by SIGTERM"
