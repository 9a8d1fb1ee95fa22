#!/usr/bin/env bash
# Checks that every commit after BASE (default 388c300, the last one published before the
# rule; its history stays as it is) has a subject of at most 72 characters.
#   scripts/check-commits.sh [BASE]
# Exit status: 0 all subjects fit, 1 a subject is too long (one line per such commit on
# stderr), 64 a usage error, 66 BASE is not a commit of this history.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=72
case "${1:-}" in
  -h | --help)
    sed -n '2,6s/^# \{0,1\}//p' "$0"
    exit 0
    ;;
  --version)
    echo "check-commits (PortBench) $(sed -n 's/^project(PortBench VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
    exit 0
    ;;
  -*)
    echo "check-commits: unknown option '$1' (try --help)" >&2
    exit 64
    ;;
esac
(($# <= 1)) || { echo "check-commits: one BASE at most (try --help)" >&2; exit 64; }
base=${1:-388c300}
if [ "$(git rev-parse --is-shallow-repository)" = true ] && ! git cat-file -e "$base^{commit}" 2>/dev/null; then
  echo "check-commits: a shallow clone without $base: no commits checked" >&2
  exit 0
fi
if ! git merge-base --is-ancestor "$base" HEAD 2>/dev/null; then
  echo "check-commits: $base is not a commit before HEAD in this history" >&2
  exit 66
fi
status=0
checked=0
# Characters, not bytes: a subject may hold non-ASCII text.
while IFS= read -r -d '' record; do
  commit=${record%%$'\n'*}
  subject=${record#*$'\n'}
  checked=$((checked + 1))
  length=$(printf '%s' "$subject" | LC_ALL=C.UTF-8 wc -m)
  if ((length > limit)); then
    echo "check-commits: $commit: subject of $length characters, over $limit: $subject" >&2
    status=1
  fi
done < <(git log -z --format='%h%n%s' "$base..HEAD")
((status == 0)) && echo "check-commits: $checked commits after $base, every subject at most $limit characters"
exit $status
