#!/usr/bin/env bash
# check_fuzz_instrumented.sh BUILD_DIR: fails when a fuzz target links library code that carries no
# coverage counters or no AddressSanitizer checks. Without them libFuzzer gets no feedback from
# the readers and a stray read inside them goes unseen. The libraries are read from each target's
# link line; every object that defines code must call both runtimes.
set -uo pipefail
build=${1:?usage: check_fuzz_instrumented.sh BUILD_DIR}
bad=0
targets=0
declare -A seen
for link in "$build"/tests/CMakeFiles/fuzz_*.dir/link.txt; do
  [ -f "$link" ] || continue
  targets=$((targets + 1))
  dir=$(dirname "$(dirname "$(dirname "$link")")")   # the folder the link line runs in
  for lib in $(tr ' ' '\n' < "$link" | grep '\.a$'); do
    case $lib in /*) ;; *) lib=$dir/$lib ;; esac
    lib=$(realpath -m "$lib")
    case $lib in */libgtest*|*/libbenchmark*) continue ;; esac
    [ -n "${seen[$lib]:-}" ] && continue
    seen[$lib]=1
    if [ ! -f "$lib" ]; then echo "missing library $lib"; bad=1; continue; fi
    # One object per block: its name, then its undefined and defined code symbols.
    report=$(nm -A "$lib" 2>/dev/null | awk '
      { split($1, part, ":"); obj = part[2] }
      # The constructors the sanitizers add to every object are not code of ours: an object of
      # data only (an embedded text) has nothing to instrument.
      / [TtW] / && $NF !~ /^(asan|sancov)\.module_[cd]tor/ { code[obj] = 1 }
      / U __sanitizer_cov_/ { cov[obj] = 1 }
      / U __asan_/ { asan[obj] = 1 }
      END { for (o in code) { if (!cov[o]) print o ": no coverage"; if (!asan[o]) print o ": no address checks" } }')
    if [ -n "$report" ]; then
      echo "$lib is not instrumented:"; echo "$report" | sed 's/^/  /'; bad=1
    else
      echo "ok $lib"
    fi
  done
done
if [ "$targets" -eq 0 ]; then echo "no fuzz targets under $build"; exit 1; fi
exit $bad
