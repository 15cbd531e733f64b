#!/usr/bin/env bash
# The closure of the package list over Depends, on a small dpkg status: what a fresh
# machine gets without recommends, and what it does not.
# Usage: deps_closure_test.sh SOURCE_DIR
set -euo pipefail
source_dir="$1"
closure="$source_dir/scripts/deps-closure.awk"
status="$source_dir/tests/scripts/deps_status.tsv"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME LIST NEEDS EXPECTED: LIST, NEEDS and EXPECTED are lines; needs are
# "OWNERS<TAB>REASON"; EXPECTED is the whole output.
expect() {
  printf '%s' "$2" >"$work/list"
  printf '%s' "$3" >"$work/needs"
  local actual status_code=0
  actual="$(awk -f "$closure" "$status" "$work/list" "$work/needs")" || status_code=$?
  if [ "$status_code" -ne 0 ] || [ "$actual" != "$4" ]; then
    echo "FAIL: $1 (exit $status_code)"
    diff <(printf '%s\n' "$4") <(printf '%s\n' "$actual") || true
    failures=$((failures + 1))
  fi
}

tab=$'\t'
list='app # the program
svg-virtual
multi:amd64
pending
removed
'
needs="app${tab}listed itself
libdep-sub${tab}through Depends with a version, twice removed
tool${tab}through an :any qualifier
preinst${tab}through Pre-Depends
first-alt${tab}first alternative
second-alt${tab}second alternative while the first is installed
fallback${tab}alternative after one that is not installed
api-provider${tab}provider of a virtual name in Depends
svg-real${tab}provider of a virtual name in the list
lonely${tab}installed but reached by nothing
removed-dep${tab}dependency of a package that is only configured
base-lib${tab}dependency of an essential package
multi-amd64-dep${tab}dependency of one architecture's record
multi-i386-dep${tab}dependency of the other architecture's record
pending-dep${tab}dependency of a package with triggers pending
lonely,app${tab}a file two packages own
lonely${tab}a second use of an uncovered package
"
expected="absent${tab}removed
missing${tab}second-alt${tab}second alternative while the first is installed
missing${tab}lonely${tab}installed but reached by nothing; a second use of an uncovered package
missing${tab}removed-dep${tab}dependency of a package that is only configured
checked${tab}15"
expect "the closure over Depends" "$list" "$needs" "$expected"

# Only the essential packages are there when the list is empty; the needs still count.
expect "an empty list" "" "base-lib${tab}essential
app${tab}not listed
" "missing${tab}app${tab}not listed
checked${tab}2"

expect "no needs" "app
" "" "checked${tab}0"

if awk -f "$closure" "$status" "$work/list" "$work/does-not-exist" >/dev/null 2>&1; then
  echo "FAIL: an unreadable needs file was accepted"
  failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || exit 1
echo "deps closure: all cases pass"
