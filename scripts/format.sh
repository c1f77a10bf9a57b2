#!/usr/bin/env bash
# Formats the tracked C++ files with the committed .clang-format (clang-format 14).
#
#   scripts/format.sh           rewrite every file that is not formatted
#   scripts/format.sh --check   change nothing; list what is not formatted and fail
set -euo pipefail
cd "$(dirname "$0")/.."

format=$(command -v clang-format-14 || command -v clang-format || true)
[ -n "$format" ] || { echo "format.sh: clang-format 14 is needed (scripts/deps.sh)" >&2; exit 1; }

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t files < <(find src tools tests fuzz bench -name '*.cpp' -o -name '*.h' | sort)
fi

if [ "${1:-}" = --check ]; then
  if ! "$format" --dry-run -Werror "${files[@]}" 2>/dev/null; then
    # Name the files, not every line.
    for f in "${files[@]}"; do
      "$format" --dry-run -Werror "$f" >/dev/null 2>&1 || echo "not formatted: $f" >&2
    done
    echo "Run scripts/format.sh to format them." >&2
    exit 1
  fi
else
  "$format" -i "${files[@]}"
fi
