#!/usr/bin/env bash
# Cross-builds Portline.dll for Windows, x86-64 and i686 (32-bit x86), with its import
# library and the .def of plain names, into build-windows/<arch>/, and checks each DLL's
# export table; the x86-64 build has its tests too (no 32-bit Wine runs here, see
# scripts/setup-windows.sh). The DLLs land in build-windows/out/<arch>/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-windows.sh
for arch in x86_64 i686; do
  dir=build-windows/$arch
  cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DMINGW_ARCH=$arch \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPORTBENCH_BUILD_GUI=OFF -DPORTBENCH_BUILD_BENCH=OFF
  targets=()
  [ "$arch" = x86_64 ] || targets=(--target portline)
  cmake --build "$dir" -j2 "${targets[@]}"
  scripts/check-windows-exports.sh $arch "$dir/portline/Portline.dll"
  out=build-windows/out/$arch
  mkdir -p "$out"
  cp "$dir/portline/Portline.dll" "$dir/portline/libPortline.dll.a" portline/portline.def \
    portline/include/portline.h "$out/"
  echo "build-windows: $out: $(cd "$out" && echo *)"
done
