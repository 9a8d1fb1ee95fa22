#!/usr/bin/env bash
# Builds the Debian packages of PortBench into build-package/ (or the folder
# named), for installation under /usr:
#   libportline3_<version>_<arch>.deb     the Portline library
#   libportline-dev_<version>_<arch>.deb  its header, .so link, pkg-config file,
#                                         CMake package and portline(3)
#   portbench_<version>_<arch>.deb        the window
#   portline-tools_<version>_<arch>.deb   loadcell and portsim (no Qt)
# and a <package>-dbgsym_<version>_<arch>.ddeb of each with its debug information.
# Two builds of the same commit, in any folders of the tree, give the same bytes
# (scripts/check-reproducible.sh compares them).
#   scripts/package.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build-package}
case $folder in
--help)
    sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
/* | */* | .* | "") echo "package: the folder must be a plain name in the tree: $folder" >&2; exit 64 ;;
esac
scripts/setup.sh

# Debian's hardening flags, as a Debian package build uses them (all of them).
# Their -ffile-prefix-map takes the tree's path out of the binaries; the one
# after it gives every build folder the same name there.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
CXXFLAGS+=" -ffile-prefix-map=$PWD/$folder=./build-package"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
# Every date in the packages is the last commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
# Built without ccache: a cache whose base_dir hands the compiler relative
# paths (which the maps above leave alone) would give other debug information
# than a build without it.
CCACHE_DISABLE=1
export CXXFLAGS LDFLAGS SOURCE_DATE_EPOCH CCACHE_DISABLE

rm -f "$folder"/*.deb "$folder"/*.ddeb
# The programs get their installed RUNPATH when linked, so that no build
# folder's path is written into them and then padded over.
# Without precompiled headers: one is an image of the compiler's memory, and the objects
# built through it are not promised the same bytes from one build to the next.
cmake --fresh -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_BUILD_WITH_INSTALL_RPATH=ON -DPORTBENCH_BUILD_TESTS=OFF -DPORTBENCH_BUILD_BENCH=OFF \
  -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON
# From scratch: objects left by an earlier build (with other flags or ccache)
# are not reused.
cmake --build "$folder" --target clean
cmake --build "$folder"
(cd "$folder" && cpack -G DEB)
ls "$folder"/*.deb "$folder"/*.ddeb
