#!/usr/bin/env bash
# What the pointer's sources cost on Wayland desktops, side by side in one session each
# (bench/wayland_pointer.py): the compositor, Xwayland, the session bus and the mascot, with the
# pointer pushed by the desktop's source (KWin's script, GNOME Shell's extension), on the X
# server's pointer, and with no mascot. Not part of CI.
# Usage: bench/wayland-pointer.sh [SECONDS] [--runs N] [--rate HZ] [--desktop kwin|gnome|all]
#   (SECONDS per measurement, default 10; a run takes about 10 × (SECONDS + 5) s per desktop;
#   --runs N, default 3, repeats it and prints medians; --rate, default 125, pointer moves a
#   second; --desktop, default all)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wayland-session.sh
seconds=10
if [[ $# -gt 0 && $1 != --* ]]; then seconds=$1; shift; fi
desktops=(kwin gnome)
options=()
while [ $# -gt 0 ]; do
  case "$1" in
    --desktop) [ "$2" = all ] || desktops=("$2"); shift 2 ;;
    *) options+=("$1"); shift ;;
  esac
done
tools/ci/deps.sh bench-wayland
build=build-bench-x11
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMASCOT_TESTS=ON >/dev/null
targets=(mascot wayland-probe)
[[ " ${desktops[*]} " != *" gnome "* ]] || targets+=(mascot-gnome-extension)
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
probe="$PWD/$build/tests/x11/wayland-probe"
bench=(env PYTHONPATH="$PWD/tests" python3 "$PWD/bench/wayland_pointer.py" --exe
  "$PWD/$build/host/x11/mascot" --wayland-probe "$probe" --seconds "$seconds" "${options[@]}")

# One desktop in a private HOME and runtime folder, as tools/ci/x11.sh starts it. The figures
# go to a file of their own, shown as they come: KWin keeps its session command's standard
# output, and the desktops, the mascot and the bus fill standard error with their logs (kept in
# the private HOME, shown when the bench fails).
run_desktop() {
  local home status session
  home=$(mktemp -d)
  mkdir -m 700 "$home/run"
  : >"$home/figures"
  { echo '#!/usr/bin/env bash'; printf '%q ' "${bench[@]}" --desktop "$1"
    printf '>%q 2>%q; echo $? >%q\n' "$home/figures" "$home/errors" "$home/status"
  } >"$home/session"
  chmod +x "$home/session"
  case "$1" in
    kwin)
      grant_fake_input "$home" "$probe"
      kwin_session "$home" mascot-bench "$home/session" --no-lockscreen --no-global-shortcuts ;;
    # GNOME Shell, which the bench starts itself.
    gnome)
      install_gnome_extension "$home" "$build"
      session=("$home/session") ;;
  esac
  echo "# $1"
  tail -f "$home/figures" &
  local shown=$!
  HOME=$home XDG_RUNTIME_DIR=$home/run XDG_DATA_DIRS=$home/share:/usr/local/share:/usr/share \
    dbus-run-session -- "${session[@]}" 2>"$home/log" || true
  sleep 0.5
  kill "$shown"
  status=$(cat "$home/status" 2>/dev/null || echo 1)
  [ "$status" = 0 ] || tail -n 20 "$home/log" "$home/errors"
  rm -rf "$home"
  return "$status"
}
date -u +"%F %H:%M UTC, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for desktop in "${desktops[@]}"; do
  run_desktop "$desktop"
done
