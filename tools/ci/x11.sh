#!/usr/bin/env bash
# End-to-end stage of the native X11 program: builds `mascot` and its probes, then drives the
# program with xdotool on Xvfb (tests/x11/x11_desktop_test.py) once per desktop: a bare X server,
# openbox, openbox with picom, mutter and kwin (trayer as the tray host), and xfwm4 with
# xfce4-panel as the tray; then under the headless Wayland compositors mutter, kwin_wayland and
# GNOME Shell, on their rootless Xwayland with trayer; each in its own D-Bus session with a
# private HOME and XDG_RUNTIME_DIR, nothing of it left running after; then the pointer pushed by
# KWin's script over a native Wayland window (tests/x11/x11_wayland_pointer_test.py) and by GNOME
# Shell's extension, with its top-bar menu (tests/x11/x11_gnome_shell_test.py).
# Usage: tools/ci/x11.sh [DESKTOP...], by default every desktop. Then it checks the lost-display and no-tray
# cases (tests/x11/x11_lost_display_test.py), builds the Debian package, checks it and starts its
# binary from an unpacked copy (tests/x11/x11_package_test.py), and holds it and its AppStream
# metadata to lintian and appstreamcli. Screenshots of failures go to build-x11/e2e-artifacts.
set -euo pipefail
cd "$(dirname "$0")/../.."
started=$SECONDS
tools/ci/deps.sh x11

build=build-x11
cmake --preset x11 >/dev/null
cmake --build --preset x11
artifacts="$PWD/$build/e2e-artifacts"
rm -rf "$artifacts"
mkdir -p "$artifacts"
exe="$PWD/$build/host/x11/mascot"
probe="$PWD/$build/tests/x11/x11-probe"
wayland_probe="$PWD/$build/tests/x11/wayland-probe"
export PYTHONPATH="$PWD/tests" PYTHONDONTWRITEBYTECODE=1  # the desktop test kit
# Debian's own, which python3-gi installs into (KWin's screenshots come through a pipe, passed
# over D-Bus); a python3 found earlier on PATH may lack it.
python=/usr/bin/python3
. tools/wayland-session.sh

# One desktop's run; fails too when a process of its session outlives it (and ends that).
run_desktop() {
  local home status=0 begun=$SECONDS left=() session
  home=$(mktemp -d)
  mkdir -m 700 "$home/run"
  local test=("$python" tests/x11/x11_desktop_test.py --exe "$exe" --probe "$probe"
    --artifacts "$artifacts" --wm "$1" --wayland-probe "$wayland_probe")
  # The pointer's own test under KWin, which grants its helper fake input.
  if [ "$1" = kwin-wayland-pointer ]; then
    test=("$python" tests/x11/x11_wayland_pointer_test.py --exe "$exe" --wayland-probe
      "$wayland_probe" --artifacts "$artifacts")
    grant_fake_input "$home" "$wayland_probe"
  fi
  case "$1" in
    mutter-wayland) session=(dbus-run-session -- mutter --wayland --headless --virtual-monitor
      1280x800 --wayland-display mascot -- "${test[@]}") ;;
    gnome-shell) session=(dbus-run-session -- "${test[@]}") ;;  # the test starts the shell
    kwin-wayland | kwin-wayland-pointer)
      # KWin keeps the standard output of its session's command, which goes to standard error
      # instead. Its screenshots go to any caller here, the test among them.
      { echo '#!/usr/bin/env bash'; printf '%q ' exec "${test[@]}"; echo '>&2'; } >"$home/session"
      chmod +x "$home/session"
      kwin_session "$home" mascot "$home/session"
      session=(env KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 dbus-run-session -- "${session[@]}") ;;
    # GNOME Shell, which the test starts itself (the shell runs no command of its own), with the
    # extension in the form the package holds.
    gnome-wayland)
      install_gnome_extension "$home" "$build"
      session=(dbus-run-session -- "$python" tests/x11/x11_gnome_shell_test.py --exe "$exe"
        --wayland-probe "$wayland_probe" --artifacts "$artifacts") ;;
    *) session=(tools/on-xvfb.sh -s "-screen 0 1280x800x24 -noreset" dbus-run-session --
      "${test[@]}") ;;
  esac
  HOME=$home XDG_RUNTIME_DIR=$home/run XDG_DATA_DIRS=$home/share:/usr/local/share:/usr/share \
    "${session[@]}" || status=$?
  for _ in $(seq 50); do
    mapfile -t left < <(grep -lzx "HOME=$home" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3)
    [ ${#left[@]} -eq 0 ] && break
    sleep 0.1
  done
  if [ ${#left[@]} -ne 0 ]; then
    echo "x11 $1: left running:"
    ps -o pid=,args= -p "${left[*]}" || true
    kill "${left[@]}" 2>/dev/null || true
    status=1
  fi
  rm -rf "$home"
  echo "x11 $1: $((SECONDS - begun)) s, status $status"
  return "$status"
}
failed=()
desktops=("$@")
[ $# -gt 0 ] || desktops=(none openbox picom mutter kwin xfce mutter-wayland kwin-wayland
  gnome-shell kwin-wayland-pointer gnome-wayland)
for wm in "${desktops[@]}"; do
  run_desktop "$wm" || failed+=("$wm")
done
python3 tests/x11/x11_lost_display_test.py --exe "$exe"
rm -f "$build"/mascot_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/mascot_*_amd64.deb)
python3 tests/x11/x11_package_test.py --deb "$deb"
lintian --fail-on error,warning "$deb"
appstreamcli validate --no-net --pedantic "$build"/packaging/linux/*.metainfo.xml
echo "x11: $((SECONDS - started)) s"
if [ ${#failed[@]} -ne 0 ]; then
  echo "x11: failed on ${failed[*]}"
  exit 1
fi
