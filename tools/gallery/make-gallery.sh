#!/usr/bin/env bash
# Draws one SVG per behaviour (0..15) with the headless simulator, from fixed seeds and a cursor
# that sweeps the screen on a fixed curve, into docs/gallery/, and rewrites the README's gallery
# section (between its gallery markers) as a grid of the sixteen pictures.
# Usage: tools/gallery/make-gallery.sh [BUILD_DIR]   (default build-sim)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build-sim}"
out="$root/docs/gallery"
readme="$root/README.md"

names=(Brake Jitter Cruise Wander Loop Tumble "Corner retreat" Bounce Chase "Shy cruise" Lunge
  Flee Circle Follow Tremble Catch)
# Fixed behaviours are menu-less commands: 32779..32786 choose 0..7, 32771..32778 choose 8..15.
command_for() { if (($1 < 8)); then echo $((32779 + $1)); else echo $((32763 + $1)); fi; }
slug_for() { printf '%02d-%s' "$1" "$(echo "${names[$1]}" | tr 'A-Z ' 'a-z-')"; }

readonly seconds=20          # length of each run
readonly ticks_per_line=10   # the cursor moves every 100 ms

# The script of one behaviour: a few idle ticks, the command, then the cursor on a Lissajous
# curve across the middle of a 1024 x 768 screen, 10 ms per tick.
write_script() {
  local behaviour=$1
  awk -v seed=$((1000 + behaviour)) -v cmd="$(command_for "$behaviour")" \
      -v lines=$((seconds * 100 / ticks_per_line)) -v n=$ticks_per_line 'BEGIN {
    pi = 3.141592653589793
    printf "seed %d\nrun 5 512 384 1000 10\ncommand %d\n", seed, cmd
    ms = 1050
    for (i = 0; i < lines; i++) {
      t = i * n / 100.0
      x = int(512 + 400 * sin(2 * pi * t / 13.0))
      y = int(384 + 290 * sin(2 * pi * t / 9.0 + 0.7))
      printf "run %d %d %d %d 10\n", n, x, y, ms
      ms += n * 10
    }
  }'
}

"$root/tools/ci/deps.sh" sim >&2
(cd "$root" && cmake --preset sim -B "$build" >/dev/null)
cmake --build "$build" -j2 --target mascot-sim >&2
sim="$build/host/sim/mascot-sim"

mkdir -p "$out"
for behaviour in $(seq 0 15); do
  slug=$(slug_for "$behaviour")
  write_script "$behaviour" |
    "$sim" --svg "$out/$slug.svg" --title "$behaviour · ${names[$behaviour]}" >/dev/null
done

# The README section: a 4 x 4 grid, each cell a picture with its behaviour's id and name.
section="$(mktemp)"
trap 'rm -f "$section"' EXIT
{
  echo "## Gallery"
  echo
  echo "Each picture is ${seconds} s of one fixed behaviour in the simulator (\`tools/gallery/make-gallery.sh\`):"
  echo "the blue line is the centre of the mascot, red dots are its key points, the dashed orange line"
  echo "is the cursor and the grey box is the screen box that holds the mascot."
  echo
  echo "| | | | |"
  echo "|---|---|---|---|"
  for row in 0 1 2 3; do
    line="|"
    for col in 0 1 2 3; do
      b=$((row * 4 + col))
      slug=$(slug_for "$b")
      line+=" <img src=\"docs/gallery/$slug.svg\" width=\"200\" alt=\"${names[$b]}\"><br>$b ${names[$b]} |"
    done
    echo "$line"
  done
  if [ -f "$out/menu.png" ]; then  # taken by tools/gallery/menu-screenshot.sh
    echo
    echo "The real program under Wine, with the menu of a right click on the mascot open:"
    echo
    echo "<img src=\"docs/gallery/menu.png\" alt=\"The mascot with its popup menu open\">"
  fi
} >"$section"

python3 - "$readme" "$section" <<'PY'
import sys
readme, section = sys.argv[1], open(sys.argv[2], encoding="utf-8").read()
text = open(readme, encoding="utf-8").read()
start, end = "<!-- gallery:start -->", "<!-- gallery:end -->"
if text.count(start) != 1 or text.count(end) != 1 or text.index(start) > text.index(end):
    sys.exit(f"make-gallery: {readme} needs one {start} before one {end}")
head, rest = text.split(start)
_, tail = rest.split(end)
open(readme, "w", encoding="utf-8").write(head + start + "\n" + section + end + tail)
PY
echo "Wrote 16 pictures to $out and the gallery section of $readme"
