#!/usr/bin/env bash
# Checks that every C and C++ file in the repository is laid out as .clang-format says; prints
# the files that are not. Fix them with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/ci/deps.sh format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -ne 0 ]; then
  echo "format: ${#unformatted[@]} of ${#files[@]} files differ from .clang-format:"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "format: all ${#files[@]} C and C++ files match .clang-format"
