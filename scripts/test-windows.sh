#!/usr/bin/env bash
# Cross-builds for Windows (scripts/build-windows.sh) and runs the Windows tests under Wine:
# the device agent plays the bench on the Linux side, on pseudo-terminals that the test
# prefix sees as COM ports. The 64-bit tests run; the 32-bit ones are built only (no
# 32-bit Wine here, see scripts/setup-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/build-windows.sh

# The agent is a Linux program, built beside the cross-builds.
cmake -S . -B build-windows/host -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPORTBENCH_BUILD_GUI=OFF -DPORTBENCH_BUILD_BENCH=OFF >/dev/null
cmake --build build-windows/host -j2 --target portline_device_agent

# Without the overrides, setting up a prefix waits for ever for the Mono and Gecko installers.
export WINEPREFIX=$root/build-windows/wineprefix
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
export WINEDEBUG=-all
export WINEARCH=win64
work=$(mktemp -d)
agent_pid=""
stop() {
  if [ -n "$agent_pid" ] && kill -0 "$agent_pid" 2>/dev/null; then
    kill -TERM "$agent_pid" 2>/dev/null || true
    wait "$agent_pid" 2>/dev/null || true
  fi
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap stop EXIT

[ -d "$WINEPREFIX/dosdevices" ] || wineboot -i >/dev/null 2>&1
build-windows/host/tests/portline_device_agent "$WINEPREFIX/dosdevices" >"$work/agent" &
agent_pid=$!
for _ in $(seq 50); do
  [ -s "$work/agent" ] && break
  kill -0 "$agent_pid" 2>/dev/null || { echo "test-windows: the device agent did not start" >&2; exit 1; }
  sleep 0.1
done
export PORTLINE_DEVICE_AGENT=$(head -n 1 "$work/agent")

failed=0
for program in build-windows/x86_64/tests/windows/*.exe; do
  echo "test-windows: wine $program"
  # One program at a time: they share the bench's COM ports.
  timeout 900 wine "$program" || failed=1
done
exit $failed
