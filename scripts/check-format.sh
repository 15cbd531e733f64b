#!/usr/bin/env bash
# Checks that the C++ sources under ROOT (default: the repository) are formatted as the
# repository's .clang-format says. Exits 1 naming each file clang-format would change.
# Usage: scripts/check-format.sh [ROOT]
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 2; }
[ -f .clang-format ] || { echo "no .clang-format in $PWD" >&2; exit 2; }

# The tracked sources in a checkout (the build folders are not ours to check); every source
# below the folder otherwise.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' '*.hpp' '*.cc' |
                       while read -r f; do [ -f "$f" ] && echo "$f"; done)
else
  mapfile -t files < <(find . -path './build*' -prune -o -type f \
                       \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.cc' \) -print)
fi
[ "${#files[@]}" -gt 0 ] || { echo "no C++ sources found in $PWD" >&2; exit 2; }

# One run over every file; clang-format names each file it would change in its diagnostics.
if out="$(clang-format --style=file --dry-run --Werror "${files[@]}" 2>&1)"; then
  echo "${#files[@]} files formatted"
  exit 0
fi
mapfile -t bad < <(sed -n 's/^\(.*\):[0-9][0-9]*:[0-9][0-9]*: error: .*/\1/p' <<<"$out" | sort -u)
echo "not formatted (run: clang-format -i FILE):" >&2
if [ "${#bad[@]}" -gt 0 ]; then printf '  %s\n' "${bad[@]}" >&2; else echo "$out" >&2; fi
exit 1
