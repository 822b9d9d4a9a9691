#!/usr/bin/env bash
# Takes docs/gallery/menu.png, a picture of the real program with its menu open, under Wine on a
# virtual screen; tools/gallery/make-gallery.sh then shows it in the README.
# Usage: tools/gallery/menu-screenshot.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build-e2e-win"
"$root/tools/ci/deps.sh" gallery-menu
"$root/tools/make-release.sh" "$build" >/dev/null
cmake --build "$build" -j2 --target mascot-probe >/dev/null
"$root/tools/wine/prepare-prefix.sh" "$build/wineprefix"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
export PYTHONPATH="$root/tests"  # the desktop test kit
trap 'wineserver -k 2>/dev/null || true' EXIT
"$root/tools/on-xvfb.sh" -s "-screen 0 1024x768x24" python3 "$root/tools/gallery/menu_screenshot.py" \
  --exe "$build/host/win32/mascot.exe" --probe "$build/tests/e2e/mascot-probe.exe" \
  --out "$root/docs/gallery/menu.png"
echo "Wrote $root/docs/gallery/menu.png"
