#!/usr/bin/env bash
# check_exports.sh: the Windows plug-ins are PE32 DLLs whose export table holds exactly the
# unadorned SDLL_ names of each plug-in, whose imports name only Windows system DLLs, and which
# carry the settings description as resource 101 of type CONFIGURATION.
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

check "$bin/brannock.dll" $frame $browser
check "$bin/orvento.dll" $frame
exit $status
