#!/usr/bin/env bash
# Reads the export table of a cross-built Portline.dll and requires exactly the eleven
# plain names of portline.def. For a 32-bit DLL it also requires each export to be the
# standard-call function that portline.h declares: the header's decorated name (the
# bytes of arguments, from a probe compiled against the header) is the DLL's own symbol at
# the export's address, and the function returns with "ret" popping those bytes.
#   scripts/check-windows-exports.sh x86_64|i686 PATH/Portline.dll
set -euo pipefail
cd "$(dirname "$0")/.."
arch=$1
dll=$2
tools=$arch-w64-mingw32
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expected=$(sed -n '/^EXPORTS/,$p' portline/portline.def | tail -n +2 | awk 'NF {print $1}' | sort)
"$tools-objdump" -p "$dll" >"$work/headers"
exported=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' "$work/headers" |
  awk '/^\t\[/ {print $3}' | sort)
if [ "$exported" != "$expected" ]; then
  echo "check-windows-exports: $dll exports" >&2
  diff <(echo "$expected") <(echo "$exported") >&2 || true
  exit 1
fi
echo "check-windows-exports: $dll exports exactly the eleven plain names"
[ "$arch" = i686 ] || exit 0

# What the header declares: a probe that calls every export, compiled for x86.
{
  echo '#include "portline.h"'
  echo 'void* const probe[] = {'
  for name in $expected; do echo "  (void*)&$name,"; done
  echo '};'
} >"$work/probe.c"
"$tools-gcc" -c -Iportline/include "$work/probe.c" -o "$work/probe.o"
"$tools-nm" -u "$work/probe.o" | awk '{print $2}' | sed -e 's/^__imp_//' -e 's/^_//' >"$work/declared"

base=$(awk '/^ImageBase/ {print $2}' "$work/headers")
# Export RVAs by ordinal index, then names by ordinal index.
sed -n '/^Export Address Table -- Ordinal Base/,/^$/p' "$work/headers" |
  sed -n 's/^\t\[ *\([0-9]*\)\] +base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA$/\1 \2/p' >"$work/rvas"
sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' "$work/headers" |
  sed -n 's/^\t\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p' >"$work/names"
"$tools-nm" "$dll" >"$work/symbols"
"$tools-objdump" -d --no-show-raw-insn "$dll" >"$work/code"

failed=0
for name in $expected; do
  decorated=$(grep -E "^$name@[0-9]+$" "$work/declared" || true)
  if [ -z "$decorated" ]; then
    echo "check-windows-exports: portline.h does not declare $name as a standard-call function" >&2
    failed=1
    continue
  fi
  bytes=${decorated#*@}
  index=$(awk -v n="$name" '$2 == n {print $1}' "$work/names")
  rva=$(awk -v i="$index" '$1 + 0 == i + 0 {print $2}' "$work/rvas")
  address=$(printf '%08x' $((0x$base + 0x$rva)))
  if ! grep -qE "^$address T _$decorated\$" "$work/symbols"; then
    echo "check-windows-exports: export $name (at $address) is not _$decorated" >&2
    failed=1
    continue
  fi
  # The first return (or tail call) of the function at that address. A function without
  # arguments may end in a jump to another: there is nothing for it to remove.
  ret=$(awk -v a="$address" '
    $0 ~ "^" a " <" {inside = 1; next}
    inside && /^[0-9a-f]+ </ {exit}
    inside && /\t(ret|jmp) / {print $2, ($2 == "jmp" ? "" : $3); exit}
    inside && /\tret *$/ {print $2; exit}' "$work/code" | xargs)
  if [ "$bytes" = 0 ]; then
    want="ret"
    [ "$ret" != jmp ] || ret=ret
  else
    want="ret \$0x$(printf '%x' "$bytes")"
  fi
  if [ "$ret" != "$want" ]; then
    echo "check-windows-exports: $name returns with '$ret', not '$want'" >&2
    failed=1
    continue
  fi
  echo "check-windows-exports: $name is _$decorated, returning with $want"
done
exit $failed
