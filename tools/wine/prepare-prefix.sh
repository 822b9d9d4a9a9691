#!/usr/bin/env bash
# Prepares a project-local 64-bit Wine prefix for running the mascot and its Windows tests.
#
# Usage: tools/wine/prepare-prefix.sh PREFIX_DIR
#
#   Creates PREFIX_DIR with `wineboot --init` (about 10 s and 700 MB the first time; Mono and Gecko
#   are not installed) and imports mascot-prefix.reg: the X11 driver's "Managed"="N", without
#   which the moving topmost window closes its own popup menu, and "MS UI Gothic" replaced by
#   "VL PGothic" (package fonts-vlgothic) for the menu's Japanese texts.
#   Idempotent: a prefix already prepared with the same settings is left alone at once.
#   Needs no display. Leaves no wineserver running. The user's own ~/.wine is never touched.
#
# Afterwards run Windows programs with   WINEPREFIX=PREFIX_DIR WINEDEBUG=-all wine program.exe
# inside an X display (for example tools/on-xvfb.sh).
set -euo pipefail

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 PREFIX_DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
settings="$here/mascot-prefix.reg"
mkdir -p "$1"
prefix=$(cd "$1" && pwd)
stamp="$prefix/.mascot-prepared"
wanted=$(cksum <"$settings")

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && [ -f "$prefix/system.reg" ]; then
  exit 0
fi

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64
# Empty overrides keep wineboot from offering to download Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY  # nothing to show; keeps wineboot from opening its progress window

echo "Preparing the Wine prefix $prefix"
wineboot --init >/dev/null 2>&1
wine regedit /S "$(winepath -w "$settings" 2>/dev/null)" >/dev/null 2>&1
wineserver -w  # the registry reaches the disk only when the server ends
echo "$wanted" >"$stamp"
