#!/usr/bin/env bash
# Builds the Debian package of PortBench (portbench, loadcell, portsim, libportline with
# its header, pkg-config file and CMake package, the menu entry, icons, metadata
# and manual pages) into build-package/, for installation under /usr:
#   scripts/package.sh            -> build-package/portbench_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

# Debian's hardening flags, as a Debian package build uses them (all of them).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

rm -f build-package/portbench_*.deb
cmake --fresh -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DPORTBENCH_BUILD_TESTS=OFF -DPORTBENCH_BUILD_BENCH=OFF
cmake --build build-package
(cd build-package && cpack -G DEB)
ls build-package/portbench_*.deb
