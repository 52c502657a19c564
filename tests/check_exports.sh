#!/usr/bin/env bash
# check_exports.sh: the Windows plug-ins are PE32 DLLs whose export table holds exactly the
# unadorned SDLL_ names of each plug-in, whose imports name only Windows system DLLs, and which
# carry the settings description as resource 101 of type CONFIGURATION; and that every export
# removes exactly its own arguments from the stack when it returns (stdcall: 4 bytes per argument),
# read from the machine code the export table points at.
# Usage: tests/check_exports.sh BIN_DIR
set -euo pipefail
bin=$1
objdump=i686-w64-mingw32-objdump
status=0

frame="SDLL_Init SDLL_InitCall SDLL_LoadConfiguration SDLL_EngineConfig SDLL_Verification SDLL_MultiConfig SDLL_LaunchMultiplayer SDLL_MultiplayerFinished"
browser="SDLL_QueryMasterserver SDLL_MasterserverResponse SDLL_ServerQueryData SDLL_ServerResponse SDLL_ServerGamesettings SDLL_LaunchServer SDLL_ServerFinished"

check() {
  local dll=$1; shift
  local expected actual
  expected=$(printf '%s\n' "$@" | sort)
  # The export name table lists "[ordinal] name" rows after its heading.
  actual=$($objdump -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^[ \t]*\[/{print $NF;next} {t=0}' | sort)
  if [ "$expected" != "$actual" ]; then
    echo "$dll: export table differs"; diff <(echo "$expected") <(echo "$actual") || true; status=1
  fi
  $objdump -f "$dll" | grep -q 'file format pei-i386' || { echo "$dll: not PE32 x86"; status=1; }
  local imports
  imports=$($objdump -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for name in $imports; do
    case $name in
      kernel32.dll|user32.dll|shell32.dll|ole32.dll|advapi32.dll|msvcrt.dll|gdi32.dll) ;;
      *) echo "$dll: imports $name"; status=1 ;;
    esac
  done
  # The resource directory: type name CONFIGURATION, then the entry of ID 101 (0x65).
  $objdump -p "$dll" | grep -A2 'name: .*: CONFIGURATION,' | grep -q 'Entry: ID: 0x000065' \
    || { echo "$dll: no resource 101 CONFIGURATION"; status=1; }
  echo "$dll: $(echo "$actual" | wc -l) exports, imports: $(echo $imports)"
}

# Argument bytes each export pops on return, from the launcher's signatures: 4 per argument.
brannock_cleanup="SDLL_Init=12 SDLL_InitCall=8 SDLL_LoadConfiguration=0 SDLL_EngineConfig=0
  SDLL_Verification=0 SDLL_MultiConfig=0 SDLL_LaunchMultiplayer=24 SDLL_MultiplayerFinished=0
  SDLL_QueryMasterserver=0 SDLL_MasterserverResponse=16 SDLL_ServerQueryData=16
  SDLL_ServerResponse=12 SDLL_ServerGamesettings=12 SDLL_LaunchServer=8 SDLL_ServerFinished=0"
orvento_cleanup="SDLL_Init=12 SDLL_InitCall=8 SDLL_LoadConfiguration=0 SDLL_EngineConfig=0
  SDLL_Verification=4 SDLL_MultiConfig=0 SDLL_LaunchMultiplayer=20 SDLL_MultiplayerFinished=0"

# Reads "objdump -d" of a DLL; for every "NAME:RVA:BYTES" in `targets` (RVA from the export table,
# hex) it reads the routine that starts at image base + RVA: all its instructions up to the next
# routine's label, and likewise every routine that code jumps into (its cold part, a routine it
# tail-jumps to). Every "ret" met must pop BYTES. No ret at all, a jump that cannot be followed
# or no routine at the address fails.
cleanup_awk='
  function num(h,   i, v) {
    h = tolower(h); sub(/^0x/, "", h); v = 0
    for (i = 1; i <= length(h); i++) v = v * 16 + index("0123456789abcdef", substr(h, i, 1)) - 1
    return v
  }
  # The routine (label number) whose code holds address a, 0 when none.
  function routine_of(a,   lo, hi, mid) {
    if (nlabels == 0 || a < start[1]) return 0
    lo = 1; hi = nlabels
    while (lo < hi) {
      mid = int((lo + hi + 1) / 2)
      if (start[mid] <= a) lo = mid; else hi = mid - 1
    }
    return lo
  }
  /^[0-9a-f]+ <.*>:$/ { start[++nlabels] = num($1); next }
  /^ *[0-9a-f]+:\t/ {
    split($0, part, "\t"); n++
    addr[n] = part[1]; sub(/:$/, "", addr[n]); sub(/^ +/, "", addr[n])
    insn[n] = part[2]; for (k = 3; k in part; k++) insn[n] = insn[n] " " part[k]
    if (!(nlabels in first)) first[nlabels] = n
    last[nlabels] = n
  }
  END {
    bad = 0; nt = split(targets, list, " ")
    for (t = 1; t <= nt; t++) {
      split(list[t], f, ":"); name = f[1]; want = f[3] + 0
      entry = num(base) + num(f[2]); r = routine_of(entry)
      if (r == 0 || start[r] != entry) {
        printf "%s: %s: no routine starts at %x\n", dll, name, entry; bad = 1; continue
      }
      split("", seen); seen[r] = 1; queue[1] = r; qn = 1; rets = 0; out = ""
      for (q = 1; q <= qn; q++) {
        s = queue[q]
        if (!(s in first)) continue
        for (i = first[s]; i <= last[s]; i++) {
          m = insn[i]; sub(/^(repz|rep|bnd) +/, "", m); split(m, w, " +")
          if (w[1] == "ret") {
            got = (w[2] ~ /^\$/) ? num(substr(w[2], 2)) : 0; rets++
            if (got != want) out = out sprintf("\n  ret at %s pops %d, not %d", addr[i], got, want)
          } else if (w[1] ~ /^(j[a-z]+|loop[a-z]*)$/ && w[2] ~ /^\*/) {
            # A jump table stays inside the routine; any other indirect jump leaves it unseen.
            if (w[2] !~ /\(,%[a-z]+,4\)$/) out = out sprintf("\n  indirect jump at %s", addr[i])
          } else if (w[1] ~ /^(j[a-z]+|loop[a-z]*)$/) {
            d = routine_of(num(w[2]))
            if (d == 0) out = out sprintf("\n  jump at %s leaves the code", addr[i])
            else if (!(d in seen)) { seen[d] = 1; queue[++qn] = d }
          }
        }
      }
      if (rets == 0) out = out "\n  no ret found"
      if (out != "") bad = 1
      printf "%s: %s pops %d: %d ret(s) in %d routine(s)%s\n", dll, name, want, rets, qn, out
    }
    exit bad
  }'

# Each NAME=BYTES: the export table gives the code address of NAME, whose routine must pop BYTES.
check_cleanup() {
  local dll=$1; shift
  local header targets="" base
  header=$($objdump -p "$dll")
  for pair in "$@"; do
    local name=${pair%=*} bytes=${pair#*=} index rva
    # Rows read "[  i] NAME" in the name table and "[  i] +base[ o] RVA Export RVA" in the other.
    index=$(awk -v n="$name" '/\[Ordinal\/Name Pointer\] Table/{t=1;next}
      t&&/^[ \t]*\[/{if($NF==n){sub(/^[ \t]*\[[ \t]*/,"");print $0+0;exit};next} {t=0}' <<<"$header")
    rva=$(awk -v i="$index" '/^Export Address Table --/{t=1;next}
      t&&/Export RVA$/{r=$(NF-2);sub(/^[ \t]*\[[ \t]*/,""); if(i!=""&&$0+0==i+0)print r; next}
      {t=0}' <<<"$header")
    if [ -z "$index" ] || [ -z "$rva" ]; then
      echo "$dll: $name: no code address in the export table"; status=1; continue
    fi
    targets="$targets $name:$rva:$bytes"
  done
  base=$(awk '$1=="ImageBase"{print $2}' <<<"$header")
  $objdump -d --no-show-raw-insn "$dll" |
    awk -v targets="$targets" -v base="$base" -v dll="$dll" "$cleanup_awk" || status=1
}

check "$bin/brannock.dll" $frame $browser
check "$bin/orvento.dll" $frame
check_cleanup "$bin/brannock.dll" $brannock_cleanup
check_cleanup "$bin/orvento.dll" $orvento_cleanup
exit $status
