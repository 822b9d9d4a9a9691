#!/usr/bin/env bash
# Installs, with apt-get, whichever packages of the named lists in tools/ci/packages.txt are
# missing. With MASCOT_NO_APT=1 it installs nothing and only names what is missing, for machines
# whose packages come from elsewhere.
# Usage: tools/ci/deps.sh LIST...
set -euo pipefail
lists="$(dirname "$0")/packages.txt"

# Adds the packages of one list to `wanted`, the lists it takes in expanded.
wanted=()
expand() {
  local line word
  line=$(grep -m1 "^$1:" "$lists") || { echo "deps: no package list '$1' in $lists" >&2; exit 2; }
  for word in ${line#*:}; do
    if [[ $word == @* ]]; then expand "${word#@}"; else wanted+=("$word"); fi
  done
}

[ $# -gt 0 ] || { echo "usage: $0 LIST..." >&2; exit 2; }
for list in "$@"; do expand "$list"; done
missing=()
for package in $(printf '%s\n' "${wanted[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "${MASCOT_NO_APT:-0}" = 1 ]; then
  echo "deps: not installing (MASCOT_NO_APT=1), missing: ${missing[*]}" >&2
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
