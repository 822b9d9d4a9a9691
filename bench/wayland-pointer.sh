#!/usr/bin/env bash
# What the pointer's sources cost under kwin_wayland, side by side in one session
# (bench/wayland_pointer.py): the compositor, Xwayland, the session bus and the mascot, with the
# pointer pushed by KWin's script, on the X server's pointer, and with no mascot. Not part of CI.
# Usage: bench/wayland-pointer.sh [SECONDS] [--runs N]   (SECONDS per measurement, default 10;
#   a run takes about 10 × (SECONDS + 5) s; --runs N, default 3, repeats it and prints medians)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=10
if [[ $# -gt 0 && $1 != --* ]]; then seconds=$1; shift; fi
tools/ci/deps.sh bench-wayland
build=build-bench-x11
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMASCOT_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target mascot wayland-probe >/dev/null
probe="$PWD/$build/tests/x11/wayland-probe"

# kwin_wayland as tools/ci/x11.sh starts it: a private HOME and runtime folder, a copy of the
# binary without its file capabilities (which a container may refuse), and the .desktop entry
# that grants the probe fake input, there before KWin starts.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
mkdir -p "$home/bin" "$home/share/applications"
cp /usr/bin/kwin_wayland "$home/bin/"
printf '[Desktop Entry]\nType=Application\nName=wayland-probe\nExec=%s\n%s\n' "$probe" \
  X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input >"$home/share/applications/probe.desktop"
# The figures go to a file of their own, shown as they come: KWin keeps its session command's
# standard output and fills its standard error with its own log (kept in the private HOME).
out=$home/figures
: >"$out"
{ echo '#!/usr/bin/env bash'; printf '%q ' env PYTHONPATH="$PWD/tests" python3 \
  "$PWD/bench/wayland_pointer.py" --exe "$PWD/$build/host/x11/mascot" --wayland-probe "$probe" \
  --seconds "$seconds" "$@"; printf '>%q 2>&1; echo $? >%q\n' "$out" "$home/status"; } \
  >"$home/session"
chmod +x "$home/session"
tail -f "$out" &
shown=$!
HOME=$home XDG_RUNTIME_DIR=$home/run XDG_DATA_DIRS=$home/share:/usr/local/share:/usr/share \
  dbus-run-session -- "$home/bin/kwin_wayland" --virtual --xwayland --width 1280 --height 800 \
  --socket mascot-bench --no-lockscreen --no-global-shortcuts --exit-with-session "$home/session" \
  2>"$home/kwin.log" || true
sleep 0.5
kill "$shown"
status=$(cat "$home/status" 2>/dev/null || echo 1)
[ "$status" = 0 ] || tail -20 "$home/kwin.log"
exit "$status"
