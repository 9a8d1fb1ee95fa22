#!/usr/bin/env bash
# Installs what the Windows cross-build and its tests under Wine need, when any is missing:
# the mingw-w64 compilers (posix thread variant), GoogleTest's sources (libgtest-dev) and
# Wine (64-bit). The 32-bit DLL is built and checked but not run: Wine's 32-bit loader
# (wine32, an i386 package) needs a kernel that runs 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh \
  gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix \
  gcc-mingw-w64-i686 g++-mingw-w64-i686-posix \
  wine wine64
