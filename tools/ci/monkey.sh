#!/usr/bin/env bash
# Monkey stage: random clicks, drags, menus, keys, pointer moves, command bursts and tray
# restarts against the real program on a virtual X display, with its checks (tests/monkey), for
# every desktop host present: mascot.exe under Wine, then the native X11 program on a bare X
# server, under openbox and under mutter, each in its own D-Bus session with a private HOME.
# 60 s each from a fixed seed unless told otherwise.
#
# Usage: tools/ci/monkey.sh [--host wine|x11] [--wm none|openbox|mutter] [--seconds N]
#                           [--seed N|random] [--build DIR]
#   --host   one host only (default: each in turn)
#   --wm     the X11 program's window manager: none (a bare X server), openbox or mutter
#            (default: each in turn)
#   --build  build folder and Wine prefix (default build-e2e-win, shared with the e2e stage), and
#            DIR/x11 for the X11 program (default build-x11, shared with the x11 stage); a second
#            run at the same time needs a folder of its own.
# The action logs and any failure's screenshot go to BUILD/monkey-artifacts and
# BUILD-X11/monkey-artifacts.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
started=$SECONDS
seconds=60
seed=20240611
build="$root/build-e2e-win"
xbuild="$root/build-x11"
hosts=(wine x11)
wms=(none openbox mutter)
wine_started=0
usage="usage: $0 [--host wine|x11] [--wm none|openbox|mutter] [--seconds N] [--seed N|random]"
usage+=" [--build DIR]"
while [ $# -gt 0 ]; do
  case "$1" in
    --host) hosts=("$2"); shift 2 ;;
    --wm) wms=("$2"); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --build) build=$(realpath -m "$2"); xbuild="$build/x11"; shift 2 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[ "$seed" = random ] && seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
export PYTHONDONTWRITEBYTECODE=1
export PYTHONPATH="$root/tests"  # the desktop test kit

fresh_artifacts() {
  rm -rf "$1/monkey-artifacts"
  mkdir -p "$1/monkey-artifacts"
}

monkey_wine() {
  tools/ci/deps.sh monkey-wine
  nice tools/make-release.sh "$build" >/dev/null
  nice cmake --build "$build" -j2 --target mascot-probe >/dev/null
  tools/wine/prepare-prefix.sh "$build/wineprefix"
  fresh_artifacts "$build"
  wine_started=1
  # The program itself runs at normal priority: a tick must come at least once a second.
  local replay="tools/ci/monkey.sh --host wine --seconds $seconds --seed $seed"
  WINEPREFIX="$build/wineprefix" WINEDEBUG=-all tools/on-xvfb.sh -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    wineserver -p </dev/null >/dev/null 2>&1
    wine "$2" state </dev/null >/dev/null 2>&1 || true  # starts the prefix services quietly
    python3 tests/monkey/monkey.py --host wine --exe "$1" --probe "$2" --seconds "$3" \
      --seed "$4" --artifacts "$5" --replay "$6"
    wineserver -k || true
  ' monkey "$build/host/win32/mascot.exe" "$build/tests/e2e/mascot-probe.exe" "$seconds" \
    "$seed" "$build/monkey-artifacts" "$replay"
}

build_x11() {
  tools/ci/deps.sh monkey-x11
  cmake --preset x11 -B "$xbuild" >/dev/null
  nice cmake --build "$xbuild" -j2 --target mascot x11-probe >/dev/null
  fresh_artifacts "$xbuild"
}

monkey_x11() {
  local wm=$1 home status=0
  local replay="tools/ci/monkey.sh --host x11 --wm $wm --seconds $seconds --seed $seed"
  home=$(mktemp -d)
  mkdir -m 700 "$home/run"
  HOME=$home XDG_RUNTIME_DIR=$home/run tools/on-xvfb.sh -s "-screen 0 1024x768x24" \
    dbus-run-session -- python3 tests/monkey/monkey.py --host x11 \
    --exe "$xbuild/host/x11/mascot" --probe "$xbuild/tests/x11/x11-probe" --wm "$wm" \
    --seconds "$seconds" --seed "$seed" --artifacts "$xbuild/monkey-artifacts/$wm" \
    --replay "$replay" || status=$?
  rm -rf "$home"
  return "$status"
}

finish() {
  local status=$?
  if [ $wine_started = 1 ]; then
    WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null || true  # this prefix's only
  fi
  echo "monkey: $((SECONDS - started)) s, action logs and screenshots in" \
    "$build/monkey-artifacts and $xbuild/monkey-artifacts"
  exit $status
}
trap finish EXIT

# The monkey's own models first: the menu it walks and the X11 program's z-order state.
tools/ci/deps.sh monkey
python3 tests/desktop_kit/menu_model_test.py
(cd tests/monkey && python3 zorder_model_test.py)
for host in "${hosts[@]}"; do
  case "$host" in
    wine) monkey_wine ;;
    x11)
      build_x11
      for wm in "${wms[@]}"; do monkey_x11 "$wm"; done
      ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
