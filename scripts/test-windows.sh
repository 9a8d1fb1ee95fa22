#!/usr/bin/env bash
# Cross-builds for Windows (scripts/build-windows.sh) and runs the Windows tests under Wine
# through ctest: its fixtures make the Wine prefix (build-windows/wineprefix) and start its
# server once, and start the device agent, which plays the bench on the Linux side on
# pseudo-terminals that the prefix sees as COM ports. The tests are the 64-bit ones: no
# 32-bit Wine runs here (see scripts/setup-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh

# The agent is a Linux program, built beside the cross-builds where the tests look for it.
cmake -S . -B build-windows/host -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPORTBENCH_BUILD_GUI=OFF -DPORTBENCH_BUILD_BENCH=OFF >/dev/null
cmake --build build-windows/host -j2 --target portline_device_agent

cd build-windows/x86_64
ctest --output-on-failure -L windows
