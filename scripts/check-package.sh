#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh built:
#   1. lintian reports no error and no warning but the two a one-package build gives;
#   2. unpacked into a scratch root (dpkg -x), every file lies where it belongs;
#   3. a C program builds against the unpacked Portline, through its pkg-config
#      file and through its CMake package, and talks to a load cell that the
#      unpacked portsim plays on a pseudo-terminal;
#   4. the unpacked portbench, on a virtual display with XDG_CONFIG_HOME in the
#      scratch folder, writes its settings there when a remembered control is
#      clicked (xdotool gives the click), and not beside the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD
debs=(build-package/portbench_*.deb)
deb=${debs[-1]}
[ -f "$deb" ] || { echo "check-package: no package; run scripts/package.sh first" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@" >"$work/out" 2>&1; then
        echo "ok: $what"
    else
        echo "FAILED: $what" >&2
        sed 's/^/    /' "$work/out" >&2
        failures=$((failures + 1))
    fi
}

echo "check-package: $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

# 1. Lintian: errors and warnings fail the check; notes are listed. Two warnings
# are expected: the library, its development files and the programs are one
# package, so that `apt install ./portbench_*.deb` installs everything at once.
echo "== lintian"
lintian --fail-on error,warning --display-info \
    --suppress-tags link-to-shared-library-in-wrong-package,package-name-doesnt-match-sonames \
    "$deb" || failures=$((failures + 1))

# 2. The layout.
echo "== layout"
root=$work/root
dpkg-deb -x "$deb" "$root"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
lib=usr/lib/$multiarch
version=$(dpkg-deb -f "$deb" Version)
sizes=(16 22 24 32 48 64 128 256 512)
files=(
    usr/bin/portbench usr/bin/portsim usr/bin/loadcell
    "$lib/libportline.so.$version" usr/include/portline.h "$lib/pkgconfig/portline.pc"
    "$lib/cmake/Portline/PortlineConfig.cmake" "$lib/cmake/Portline/PortlineConfigVersion.cmake"
    "$lib/cmake/Portline/PortlineTargets.cmake"
    usr/share/applications/com.quill_sensor.PortBench.desktop
    usr/share/metainfo/com.quill_sensor.PortBench.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/portbench.svg
    usr/share/man/man1/portbench.1.gz usr/share/man/man1/portsim.1.gz usr/share/man/man1/loadcell.1.gz
    usr/share/bash-completion/completions/loadcell usr/share/bash-completion/completions/portsim
    usr/share/portbench/installed
    usr/share/doc/portbench/copyright usr/share/doc/portbench/changelog.gz
)
for size in "${sizes[@]}"; do
    files+=("usr/share/icons/hicolor/${size}x${size}/apps/portbench.png")
done
for file in "${files[@]}"; do
    check "$file" test -f "$root/$file"
done
for size in "${sizes[@]}"; do
    check "the ${size}x${size} icon is ${size} by ${size}" \
        grep -q "PNG image data, $size x $size" <(file "$root/usr/share/icons/hicolor/${size}x${size}/apps/portbench.png")
done
check "libportline's SONAME is libportline.so.${version%%.*}" \
    grep -q "Library soname: \[libportline.so.${version%%.*}\]" <(readelf -d "$root/$lib/libportline.so.$version")
check "libportline.so.${version%%.*} links to the library" \
    test "$(readlink "$root/$lib/libportline.so.${version%%.*}")" = "libportline.so.$version"
check "libportline.so (for the linker) links to the SONAME" \
    test "$(readlink "$root/$lib/libportline.so")" = "libportline.so.${version%%.*}"
check "libportline exports the eleven functions and nothing else" \
    test "$(nm -D --defined-only "$root/$lib/libportline.so.$version" | awk '$2 == "T"' | wc -l)" = 11
check "portbench finds libportline through \$ORIGIN" \
    grep -q 'RUNPATH.*\[\$ORIGIN/\.\./lib/' <(readelf -d "$root/usr/bin/portbench")
loaded=$(ldd "$root/usr/bin/portbench" | awk '$1 ~ /^libportline/ {print $3}')
check "the unpacked portbench loads the unpacked libportline ($loaded)" \
    test "$(realpath "$loaded")" = "$(realpath "$root/$lib/libportline.so.$version")"
check "no maintainer scripts; ldconfig runs from a trigger" \
    test "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')" = "control md5sums shlibs triggers "
check "the desktop entry is valid" desktop-file-validate "$root/usr/share/applications/com.quill_sensor.PortBench.desktop"
check "the AppStream metadata is valid" appstreamcli validate --no-net "$root/usr/share/metainfo/com.quill_sensor.PortBench.metainfo.xml"
shot=$(sed -n 's|.*<image[^>]*>.*/\([^/<]*\.png\)</image>.*|\1|p' "$root/usr/share/metainfo/com.quill_sensor.PortBench.metainfo.xml")
check "the metadata's screenshot $shot is kept in the tree" test -s "resources/screenshots/$shot"
for page in portbench portsim loadcell; do
    check "man $page renders without warnings" \
        bash -c "out=\$(MANWIDTH=80 man --warnings -l '$root/usr/share/man/man1/$page.1.gz' 2>&1 >/dev/null); [ -z \"\$out\" ] || { echo \"\$out\"; false; }"
done

# 3. A C program against the unpacked Portline, with portsim's load cell on a pseudo-terminal.
echo "== a C program against the unpacked Portline"
"$root/usr/bin/portsim" --link "$work/cell" --cell 1:74565 >"$work/portsim.out" 2>"$work/portsim.err" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/portsim.out" ] && [ -e "$work/cell" ] && break; sleep 0.1; done
check "portsim plays a load cell at $(head -n 1 "$work/portsim.out")" test -e "$work/cell"
export PKG_CONFIG_PATH=$root/$lib/pkgconfig
flags=$(pkg-config --define-variable=prefix="$root/usr" --cflags --libs portline)
echo "pkg-config --cflags --libs portline: $flags"
check "cc builds the C program with pkg-config's flags" \
    cc -std=c99 -Wall -Wextra -Werror -o "$work/smoke-pc" tests/package/portline_smoke.c $flags -Wl,-rpath,"$root/$lib"
check "the pkg-config build talks to the cell" "$work/smoke-pc" "$work/cell" 74565
cat "$work/out"
check "find_package(Portline) configures a C project" \
    cmake -S tests/package -B "$work/smoke-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$root/usr"
check "the CMake build builds" cmake --build "$work/smoke-cmake"
check "the CMake build talks to the cell" "$work/smoke-cmake/portline_smoke" "$work/cell" 74565
check "the unpacked loadcell finds the cell at address 1" \
    test "$("$root/usr/bin/loadcell" scan --port "$work/cell" --from 1 --to 3)" = 1

# 4. The unpacked portbench keeps its settings in the user's configuration folder.
echo "== settings of the unpacked portbench"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
mkdir -p "$work/home"
HOME=$work/home XDG_CONFIG_HOME=$work/config "$root/usr/bin/portbench" >"$work/portbench.log" 2>&1 &
app=$!
pids+=("$app")
window=""
for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
done
check "portbench shows its window" test -n "$window"
if [ -n "$window" ]; then
    # The display-form box (CheckBox1, hexadecimal when ticked) at (432, 219)
    # in the window: a click stores [Show] type=ASCII. A click that came before
    # the window took input is given again (the box then stores HEX).
    ini=$work/config/PortBench/PortBench.ini
    for _ in 1 2 3 4 5; do
        sleep 1
        xdotool mousemove --window "$window" 445 227 click 1
        for _ in $(seq 50); do [ -s "$ini" ] && break 2; sleep 0.2; done
    done
    check "the click wrote \$XDG_CONFIG_HOME/PortBench/PortBench.ini" grep -Eqx 'type=(ASCII|HEX)' "$ini"
    check "nothing was written beside the program" test ! -e "$root/usr/bin/PortBench.ini"
    check "nothing was written under \$HOME" test -z "$(find "$work/home" -name 'PortBench*')"
fi

if ((failures)); then
    echo "check-package: $failures failed" >&2
    exit 1
fi
echo "check-package: every check passed"
