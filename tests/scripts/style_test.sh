#!/usr/bin/env bash
# The format check fails on a misformatted file and names it, and passes on a formatted one.
set -euo pipefail
repo="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$repo/.clang-format" "$work/"
printf 'int Add(int a, int b) { return a + b; }\n' > "$work/good.cpp"
printf 'int  Sub( int a,int b ){return a-b;}\n' > "$work/bad.cpp"

if out="$(bash "$repo/scripts/check-format.sh" "$work" 2>&1)"; then
  echo "FAIL: a misformatted file passed the check"; echo "$out"; exit 1
fi
grep -q 'bad.cpp' <<<"$out" || { echo "FAIL: the check did not name bad.cpp"; echo "$out"; exit 1; }
if grep -q 'good.cpp' <<<"$out"; then echo "FAIL: good.cpp was named"; echo "$out"; exit 1; fi

rm "$work/bad.cpp"
bash "$repo/scripts/check-format.sh" "$work" >/dev/null || { echo "FAIL: a formatted file failed"; exit 1; }
echo "ok"
