#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing; packages named as
# arguments are added to the list (scripts/setup-windows.sh names the Windows build's).
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache clang-format
  libgtest-dev
  qt6-base-dev libgl-dev libxcb1-dev # the window; the start-up benchmark watches X itself
  fonts-wqy-microhei fonts-liberation2 # the fonts the window is drawn with
  xvfb imagemagick # a display for run.sh and the benchmarks; screenshots compared
  # the Debian package: shlibdeps, its checks, the icons and the manual pages
  dpkg-dev file lintian desktop-file-utils appstream librsvg2-bin man-db pkg-config xdotool
  clang libclang-rt-14-dev # the fuzz targets
  chromium # the browser test renders loadcell's HTML record headless
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
