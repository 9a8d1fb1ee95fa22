#!/usr/bin/env bash
# Sets up, builds and starts PortBench against a virtual load cell: portsim
# plays a cell on a pseudo-terminal linked at /tmp/portbench-cell, and a first
# run points PortBench's port at it, so that pressing Open talks to a cell
# without hardware. Without a display, PortBench runs on a virtual one and the
# script prints the path of a screenshot of the started window.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target portbench portsim

link=/tmp/portbench-cell
program=build/portbench/portbench
ini=build/portbench/PortBench.ini
work=$(mktemp -d)
sim_pid=""
xvfb_pid=""
app_pid=""

stop() {
    local pid
    for pid in "$app_pid" "$sim_pid" "$xvfb_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
}
trap stop EXIT

# The virtual bench: one load cell at address 1, its code wandering a little.
build/tools/portsim/portsim --link "$link" --cell 1:74565 --drift >"$work/portsim.out" &
sim_pid=$!
for _ in $(seq 50); do
    [ -s "$work/portsim.out" ] && [ -e "$link" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "run: portsim did not start" >&2; exit 1; }
    sleep 0.2
done
echo "run: a load cell answers on $link ($(head -n 1 "$work/portsim.out"))"

# Only a first run gets the bench's port; a user's own settings stay.
if [ ! -e "$ini" ]; then
    printf '[COM]\nport=%s\n' "$link" >"$ini"
    echo "run: $ini now names $link as the port"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$program"
    exit 0
fi

echo "run: there is no display here, so PortBench runs on a virtual display (Xvfb)"
echo "run: and a screenshot of its window shows that it started."
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "run: Xvfb did not start" >&2; exit 1; }
    sleep 0.2
done
export DISPLAY=":$(head -n 1 "$work/display")"

"$program" &
app_pid=$!
sleep 5
if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "run: PortBench ended early" >&2
    exit 1
fi
shot="$root/build/portbench-screenshot.png"
import -window root "$shot"
echo "run: screenshot of the started window: $shot"
