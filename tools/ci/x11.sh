#!/usr/bin/env bash
# End-to-end stage of the native X11 program: builds `mascot` and x11-probe, then drives the
# program with xdotool on Xvfb with trayer as the tray host, once on a bare X server and once
# under openbox (tests/x11/x11_desktop_test.py), and checks the lost-display and no-tray cases
# (tests/x11/x11_lost_display_test.py), then builds the Debian package, checks it and starts its
# binary from an unpacked copy (tests/x11/x11_package_test.py), and holds it and its AppStream
# metadata to lintian and appstreamcli. Screenshots of failures go to build-x11/e2e-artifacts.
set -euo pipefail
cd "$(dirname "$0")/../.."
started=$SECONDS
tools/ci/deps.sh g++ cmake make googletest libgtest-dev qt6-base-dev libxcb1-dev \
  libxcb-shape0-dev xvfb xauth xdotool x11-utils x11-xserver-utils trayer openbox imagemagick \
  fonts-vlgothic python3 dpkg-dev lintian appstream

build=build-x11
cmake --preset x11 -DMASCOT_WERROR=ON >/dev/null
cmake --build --preset x11
artifacts="$PWD/$build/e2e-artifacts"
rm -rf "$artifacts"
mkdir -p "$artifacts"
exe="$PWD/$build/host/x11/mascot"
probe="$PWD/$build/tests/x11/x11-probe"

for wm in none openbox; do
  xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
    python3 tests/x11/x11_desktop_test.py --exe "$exe" --probe "$probe" \
    --artifacts "$artifacts" --wm "$wm"
done
python3 tests/x11/x11_lost_display_test.py --exe "$exe"
rm -f "$build"/mascot_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/mascot_*_amd64.deb)
python3 tests/x11/x11_package_test.py --deb "$deb"
lintian --fail-on error,warning "$deb"
appstreamcli validate --no-net "$build"/packaging/linux/*.metainfo.xml
echo "x11: $((SECONDS - started)) s"
