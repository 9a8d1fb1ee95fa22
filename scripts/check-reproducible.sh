#!/usr/bin/env bash
# Checks that the Debian packages are reproducible: builds them a second time,
# from scratch and without ccache, into build-package-again/ and compares every
# package byte for byte (cmp) with the ones scripts/package.sh built into
# build-package/ before. Prints how long the second build took. The second
# folder is removed when the packages agree, and kept for a look when not.
#   scripts/check-reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${1:-}" = --help ] && { sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0; }
first=build-package
again=build-package-again
shopt -s nullglob
packages=("$first"/*.deb "$first"/*.ddeb)
((${#packages[@]})) || { echo "check-reproducible: no packages in $first; run scripts/package.sh first" >&2; exit 66; }

rm -rf "$again"
start=$(date +%s)
CCACHE_DISABLE=1 scripts/package.sh "$again" >"$first/reproducible-build.log" 2>&1 ||
    { echo "check-reproducible: the second build failed; see $first/reproducible-build.log" >&2; exit 1; }
echo "check-reproducible: the second build took $(($(date +%s) - start)) s"

failures=0
for package in "${packages[@]}"; do
    other=$again/${package##*/}
    if cmp "$package" "$other"; then
        echo "ok: ${package##*/} is the same byte for byte"
    else
        echo "FAILED: ${package##*/} differs from $other" >&2
        failures=$((failures + 1))
    fi
done
count=$(find "$again" -maxdepth 1 \( -name '*.deb' -o -name '*.ddeb' \) | wc -l)
if [ "$count" != "${#packages[@]}" ]; then
    echo "FAILED: the second build made $count packages, the first ${#packages[@]}" >&2
    failures=$((failures + 1))
fi
if ((failures)); then
    echo "check-reproducible: $failures failed; $again is kept" >&2
    exit 1
fi
rm -rf "$again"
echo "check-reproducible: every package is the same byte for byte"
