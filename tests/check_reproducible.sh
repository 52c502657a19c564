#!/usr/bin/env bash
# check_reproducible.sh: two builds of the same source in two folders give byte-identical DLLs.
# Copies the tracked files (their working-tree content) into two scratch folders whose paths differ
# in length, builds only the two plug-ins with the win32 toolchain in each, and compares the
# SHA-256 of brannock.dll and orvento.dll. Prints what differs on failure; removes the folders.
# Usage: tests/check_reproducible.sh   (JOBS=N sets the build's parallel jobs, default 2)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/reproducible.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
first=$scratch/s
second=$scratch/a-much-longer-folder-name/nested/copy

build() {
  local dir=$1
  mkdir -p "$dir"
  (cd "$root" && git ls-files -z | tar --null --ignore-failed-read -T - -cf -) | tar -xf - -C "$dir"
  (cd "$dir" && cmake --preset win32 >/dev/null &&
    cmake --build build/win32 --target brannock orvento -j "${JOBS:-2}" >/dev/null) ||
    { echo "check_reproducible: the build in $dir failed" >&2; exit 1; }
}

build "$first"
build "$second"

objdump=i686-w64-mingw32-objdump
status=0
for dll in brannock.dll orvento.dll; do
  a=$first/build/win32/bin/$dll
  b=$second/build/win32/bin/$dll
  hash_a=$(sha256sum <"$a" | cut -d' ' -f1)
  hash_b=$(sha256sum <"$b" | cut -d' ' -f1)
  if [ "$hash_a" = "$hash_b" ]; then
    echo "$dll: identical, sha256 $hash_a"
    continue
  fi
  status=1
  echo "$dll: differs ($hash_a vs $hash_b, $(stat -c %s "$a") vs $(stat -c %s "$b") bytes)"
  echo "  differing bytes: $(cmp -l "$a" "$b" | wc -l), first ones (offset, octal a, octal b):"
  cmp -l "$a" "$b" | head -5 | sed 's/^/    /' || true
  echo "  headers and sections, a vs b:"
  diff <(cd "${a%/*}" && $objdump -x $dll) <(cd "${b%/*}" && $objdump -x $dll) | head -40 | sed 's/^/    /' || true
  echo "  build paths left in the files:"
  { grep -a -o -F -e "$first" "$a" || true; grep -a -o -F -e "$second" "$b" || true; } | sort | uniq -c | sed 's/^/    /'
done
exit $status
