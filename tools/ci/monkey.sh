#!/usr/bin/env bash
# Monkey stage: random clicks, drags, menus, keys, pointer moves, command bursts and tray
# restarts against the real program on a virtual X display, with its checks (tests/monkey), for
# every desktop host present: mascot.exe under Wine. 60 s from a fixed seed unless told otherwise.
#
# Usage: tools/ci/monkey.sh [--seconds N] [--seed N|random] [--build DIR]
#   --build  build folder and Wine prefix (default build-e2e-win, shared with the e2e stage); a
#            second run at the same time needs a folder of its own.
# The action log and any failure's screenshot go to BUILD/monkey-artifacts.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
started=$SECONDS
seconds=60
seed=20240611
build="$root/build-e2e-win"
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --build) build=$(realpath -m "$2"); shift 2 ;;
    *) echo "usage: $0 [--seconds N] [--seed N|random] [--build DIR]" >&2; exit 2 ;;
  esac
done
[ "$seed" = random ] && seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
tools/ci/deps.sh g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake make wine wine64 \
  xvfb xauth xdotool x11-utils imagemagick fonts-vlgothic python3 trayer libx11-6 libxext6

nice tools/make-release.sh "$build" >/dev/null
tools/wine/prepare-prefix.sh "$build/wineprefix"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all PYTHONDONTWRITEBYTECODE=1
artifacts="$build/monkey-artifacts"
rm -rf "$artifacts"
mkdir -p "$artifacts"

finish() {
  local status=$?
  wineserver -k 2>/dev/null || true  # this prefix's server only, also after a failure
  echo "monkey: $((SECONDS - started)) s, action log and screenshots in $artifacts"
  exit $status
}
trap finish EXIT

# The program itself runs at normal priority: a tick must come at least once a second.
replay="tools/ci/monkey.sh --seconds $seconds --seed $seed"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  wineserver -p </dev/null >/dev/null 2>&1
  wine "$2" state </dev/null >/dev/null 2>&1 || true  # starts the prefix services quietly
  python3 tests/monkey/monkey.py --host wine --exe "$1" --probe "$2" --seconds "$3" \
    --seed "$4" --artifacts "$5" --replay "$6"
  wineserver -k || true
' monkey "$build/host/win32/mascot.exe" "$build/tests/e2e/mascot-probe.exe" "$seconds" "$seed" \
  "$artifacts" "$replay"
