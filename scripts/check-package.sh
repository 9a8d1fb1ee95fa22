#!/usr/bin/env bash
# Checks the Debian packages that scripts/package.sh built into build-package/:
#   1. lintian reports no error and no warning on any of them;
#   2. every file lies in the package it belongs to, each package carries its
#      documents, depends on what it should, and each has its debug symbols;
#   3. `cmake --install build-package --prefix DIR` gives a Portline that a C
#      program builds against through DIR's portline.pc alone, and through the
#      CMake package there;
#   4. the packages installed (apt-get, when run as root and none of them is
#      installed yet; else unpacked into a scratch root with dpkg -x, and said
#      so): a C program builds through the -dev package, with pkg-config and
#      with CMake, and talks to a load cell that the packaged portsim plays on
#      a pseudo-terminal; the packaged loadcell finds it;
#   5. the packaged portbench, on a virtual display with XDG_CONFIG_HOME in the
#      scratch folder, writes its settings there when a remembered control is
#      clicked (xdotool gives the click), and not beside the program.
# What it installed is purged at the end, so the machine is left as it was.
#   scripts/check-package.sh [--unpacked]   (--unpacked: never install)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=install
case ${1:-} in
"") ;;
--unpacked) mode=unpacked ;;
--help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
*) echo "check-package: unknown option: $1" >&2; exit 64 ;;
esac

folder=build-package
names=(libportline3 libportline-dev portbench portline-tools)
declare -A deb
for name in "${names[@]}"; do
    found=("$folder/${name}"_*.deb)
    [ -f "${found[-1]}" ] || { echo "check-package: no $name package; run scripts/package.sh first" >&2; exit 66; }
    deb[$name]=${found[-1]}
done
version=$(dpkg-deb -f "${deb[libportline3]}" Version)
major=${version%%.*}

work=$(mktemp -d)
pids=()
installed=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if ((${#installed[@]})); then
        echo "check-package: purging ${installed[*]}"
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 "${installed[@]}" >/dev/null
    fi
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

for name in "${names[@]}"; do
    echo "check-package: ${deb[$name]}"
    dpkg-deb --info "${deb[$name]}" | sed -n '/Package:/,$p'
done

# 1. Lintian: errors and warnings fail the check; notes are listed.
echo "== lintian"
lintian --fail-on error,warning --display-info "${deb[@]}" "$folder"/*.ddeb || failures=$((failures + 1))

# 2. The layout: each package unpacked into a root of its own, and all of them
# into one root together.
echo "== layout"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
lib=usr/lib/$multiarch
root=$work/root
for name in "${names[@]}"; do
    dpkg-deb -x "${deb[$name]}" "$work/$name"
    dpkg-deb -x "${deb[$name]}" "$root"
done
sizes=(16 22 24 32 48 64 128 256 512)
declare -A files
files[libportline3]="$lib/libportline.so.$version $lib/libportline.so.$major"
files[libportline-dev]="$lib/libportline.so usr/include/portline.h $lib/pkgconfig/portline.pc
    $lib/cmake/Portline/PortlineConfig.cmake $lib/cmake/Portline/PortlineConfigVersion.cmake
    $lib/cmake/Portline/PortlineTargets.cmake $lib/cmake/Portline/PortlineTargets-relwithdebinfo.cmake
    usr/share/man/man3/portline.3.gz"
files[portbench]="usr/bin/portbench usr/share/man/man1/portbench.1.gz
    usr/share/applications/com.quill_sensor.PortBench.desktop
    usr/share/metainfo/com.quill_sensor.PortBench.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/portbench.svg usr/share/portbench/installed"
for size in "${sizes[@]}"; do
    files[portbench]+=" usr/share/icons/hicolor/${size}x${size}/apps/portbench.png"
done
files[portline-tools]="usr/bin/loadcell usr/bin/portsim
    usr/share/man/man1/loadcell.1.gz usr/share/man/man1/portsim.1.gz
    usr/share/bash-completion/completions/loadcell usr/share/bash-completion/completions/portsim"
for name in "${names[@]}"; do
    files[$name]+=" usr/share/doc/$name/copyright usr/share/doc/$name/README usr/share/doc/$name/changelog.gz"
    # Exactly the files named, no more and no fewer.
    expected=$(printf '%s\n' ${files[$name]} | sort)
    held=$(cd "$work/$name" && find . ! -type d | sed 's|^\./||' | sort)
    check "$name holds exactly its files" diff <(echo "$expected") <(echo "$held")
    check "$name's copyright names every program" \
        grep -qz 'portbench.*loadcell.*portsim.*libportline' "$work/$name/usr/share/doc/$name/copyright"
done
for size in "${sizes[@]}"; do
    check "the ${size}x${size} icon is ${size} by ${size}" \
        grep -q "PNG image data, $size x $size" <(file "$root/usr/share/icons/hicolor/${size}x${size}/apps/portbench.png")
done

# The dependencies between the packages, and none of the command-line ones on Qt.
depends() { dpkg-deb -f "${deb[$1]}" Depends; }
for name in libportline-dev portbench portline-tools; do
    check "$name depends on libportline3 (= $version)" grep -Fq "libportline3 (= $version)" <(depends "$name")
done
for name in libportline3 libportline-dev portline-tools; do
    check "$name does not depend on Qt" bash -c "! grep -qi qt <<<'$(depends "$name")'"
done
check "portbench depends on Qt and its two fonts" \
    grep -Eq 'libqt6widgets.*|fonts-wqy-microhei.*fonts-liberation2' <(depends portbench)
check "libportline3 is in the section libs, libportline-dev in libdevel" \
    test "$(dpkg-deb -f "${deb[libportline3]}" Section) $(dpkg-deb -f "${deb[libportline-dev]}" Section)" = "libs libdevel"

# The library: its SONAME, links, exports, shlibs, symbols and ldconfig trigger.
check "libportline's SONAME is libportline.so.$major" \
    grep -q "Library soname: \[libportline.so.$major\]" <(readelf -d "$root/$lib/libportline.so.$version")
check "libportline.so.$major links to the library" \
    test "$(readlink "$root/$lib/libportline.so.$major")" = "libportline.so.$version"
check "libportline.so (for the linker) links to the SONAME" \
    test "$(readlink "$root/$lib/libportline.so")" = "libportline.so.$major"
exports=$(nm -D --defined-only "$root/$lib/libportline.so.$version" | awk '$2 == "T" {print $3}' | sort)
check "libportline exports the eleven functions and nothing else" test "$(wc -l <<<"$exports")" = 11
control() { dpkg-deb --ctrl-tarfile "${deb[$1]}" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' '; }
check "libportline3: no maintainer scripts; ldconfig runs from a trigger" \
    test "$(control libportline3)" = "control md5sums shlibs symbols triggers "
for name in libportline-dev portbench portline-tools; do
    check "$name has no maintainer scripts" test "$(control "$name")" = "control md5sums "
done
dpkg-deb -e "${deb[libportline3]}" "$work/control"
check "the shlibs file maps libportline.so.$major to libportline3 (>= $version)" \
    test "$(cat "$work/control/shlibs")" = "libportline $major libportline3 (>= $version)"
check "the symbols file lists exactly the exported functions" \
    diff <(sed -n 's/^ \([A-Za-z]*\)@Base .*/\1/p' "$work/control/symbols" | sort) <(echo "$exports")
check "the trigger is ldconfig's" test "$(cat "$work/control/triggers")" = "activate-noawait ldconfig"

# The programs find libportline in their own tree, wherever it is unpacked.
for program in portbench loadcell; do
    check "$program finds libportline through \$ORIGIN" \
        grep -q 'RUNPATH.*\[\$ORIGIN/\.\./lib/' <(readelf -d "$root/usr/bin/$program")
done
loaded=$(ldd "$root/usr/bin/portbench" | awk '$1 ~ /^libportline/ {print $3}')
check "the unpacked portbench loads the unpacked libportline ($loaded)" \
    test "$(realpath "$loaded")" = "$(realpath "$root/$lib/libportline.so.$version")"

# Debug symbols: every binary is stripped and its debug information is in the
# -dbgsym package of its own, under its build ID.
declare -A binaries=([libportline3]="$lib/libportline.so.$version" [portbench]=usr/bin/portbench
    [portline-tools]="usr/bin/loadcell usr/bin/portsim")
for name in "${!binaries[@]}"; do
    ddeb=("$folder/$name-dbgsym"_*.ddeb)
    check "$name has a debug-symbol package" test -f "${ddeb[-1]}"
    [ -f "${ddeb[-1]}" ] || continue
    dpkg-deb -x "${ddeb[-1]}" "$work/$name-dbgsym"
    for binary in ${binaries[$name]}; do
        id=$(readelf -n "$root/$binary" | sed -n 's/.*Build ID: //p')
        check "$binary is stripped" grep -q ', stripped' <(file "$root/$binary")
        check "$name-dbgsym holds $binary's debug information (build ID $id)" \
            grep -q 'with debug_info' <(file "$work/$name-dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug")
    done
done

check "the desktop entry is valid" desktop-file-validate "$root/usr/share/applications/com.quill_sensor.PortBench.desktop"
check "the AppStream metadata is valid" appstreamcli validate --no-net "$root/usr/share/metainfo/com.quill_sensor.PortBench.metainfo.xml"
shot=$(sed -n 's|.*<image[^>]*>.*/\([^/<]*\.png\)</image>.*|\1|p' "$root/usr/share/metainfo/com.quill_sensor.PortBench.metainfo.xml")
check "the metadata's screenshot $shot is kept in the tree" test -s "resources/screenshots/$shot"
for page in man1/portbench.1 man1/portsim.1 man1/loadcell.1 man3/portline.3; do
    check "man ${page#*/} renders without warnings" \
        bash -c "out=\$(MANWIDTH=80 man --warnings -l '$root/usr/share/man/$page.gz' 2>&1 >/dev/null); [ -z \"\$out\" ] || { echo \"\$out\"; false; }"
done
check "portline(3) names version $version" grep -q "\"PortBench $version\"" <(zcat "$root/usr/share/man/man3/portline.3.gz")

# The device the programs below talk to: the packaged portsim's load cell.
"$root/usr/bin/portsim" --link "$work/cell" --cell 1:74565 >"$work/portsim.out" 2>"$work/portsim.err" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/portsim.out" ] && [ -e "$work/cell" ] && break; sleep 0.1; done
check "portsim plays a load cell at $(head -n 1 "$work/portsim.out")" test -e "$work/cell"

smoke() { # smoke HOW PKG_CONFIG_FLAGS... : builds and runs the C program with pkg-config's flags
    local how=$1
    shift
    local flags
    flags=$(pkg-config "$@" --cflags --libs portline)
    echo "$how: pkg-config --cflags --libs portline: $flags"
    check "$how: cc builds the C program with pkg-config's flags" \
        cc -std=c99 -Wall -Wextra -Werror -o "$work/smoke-$how" tests/package/portline_smoke.c $flags
    check "$how: the pkg-config build talks to the cell" "$work/smoke-$how" "$work/cell" 74565
    cat "$work/out"
}
smoke_cmake() { # smoke_cmake HOW PREFIX: builds and runs the C program through find_package(Portline)
    check "$1: find_package(Portline) configures a C project" \
        cmake -S tests/package -B "$work/smoke-cmake-$1" -G Ninja ${2:+-DCMAKE_PREFIX_PATH="$2"}
    check "$1: the CMake build builds" cmake --build "$work/smoke-cmake-$1"
    check "$1: the CMake build talks to the cell" "$work/smoke-cmake-$1/portline_smoke" "$work/cell" 74565
}

# 3. Installed into a scratch prefix by CMake: portline.pc names that prefix.
echo "== cmake --install into a scratch prefix"
prefix=$work/prefix
check "cmake --install $folder --prefix DIR" cmake --install "$folder" --prefix "$prefix"
prefix_lib=$prefix/lib/$multiarch
check "DIR's portline.pc has DIR as its prefix" grep -qx "prefix=$prefix" "$prefix_lib/pkgconfig/portline.pc"
LD_LIBRARY_PATH=$prefix_lib PKG_CONFIG_PATH=$prefix_lib/pkgconfig smoke prefix
LD_LIBRARY_PATH=$prefix_lib smoke_cmake prefix "$prefix"

# 4. The packages installed, or unpacked where they cannot be.
installable() {
    [ "$mode" = install ] || { echo "asked for --unpacked"; return 1; }
    [ "$(id -u)" -eq 0 ] || { echo "not run as root"; return 1; }
    local name
    for name in "${names[@]}"; do
        if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "ok installed"; then
            echo "$name is installed already and is left alone"
            return 1
        fi
    done
}
if why=$(installable); then
    echo "== the packages installed with apt-get"
    debs=()
    for name in "${names[@]}"; do debs+=("./${deb[$name]}"); done
    installed=("${names[@]}")
    check "apt-get installs the four packages" \
        env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=300 "${debs[@]}"
    bin=/usr/bin
    smoke installed
    smoke_cmake installed ""
else
    echo "== the packages unpacked into a scratch root ($why)"
    bin=$root/usr/bin
    LD_LIBRARY_PATH=$root/$lib PKG_CONFIG_PATH=$root/$lib/pkgconfig smoke unpacked --define-variable=prefix="$root/usr"
    smoke_cmake unpacked "$root/usr"
fi
check "the packaged loadcell finds the cell at address 1" \
    test "$("$bin/loadcell" scan --port "$work/cell" --from 1 --to 3)" = 1

# 5. The packaged portbench keeps its settings in the user's configuration folder.
echo "== settings of the packaged portbench"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
mkdir -p "$work/home"
HOME=$work/home XDG_CONFIG_HOME=$work/config "$bin/portbench" >"$work/portbench.log" 2>&1 &
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
    check "nothing was written beside the program" test ! -e "$bin/PortBench.ini"
    check "nothing was written under \$HOME" test -z "$(find "$work/home" -name 'PortBench*')"
fi

if ((failures)); then
    echo "check-package: $failures failed" >&2
    exit 1
fi
echo "check-package: every check passed"
