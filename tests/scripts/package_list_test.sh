#!/usr/bin/env bash
# The package list against this machine's dpkg database and the built programs: the real
# list passes, a list without a package only the build uses (libqt6opengl6-dev, which
# qt6-base-dev merely recommends) fails and names it, and install-deps.sh asks apt-get
# only for what is really missing.
# Usage: package_list_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir="$1"
build_dir="$2"
if ! command -v dpkg-query >/dev/null || ! command -v dpkg >/dev/null; then
  echo "SKIP: no dpkg on this machine; the package list can only be checked on Debian"
  exit 77
fi
check="$source_dir/scripts/check-deps.sh"
real_list="$source_dir/scripts/debian-packages.txt"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# run_check LIST: sets code and output (stdout and stderr together).
run_check() {
  code=0
  output="$("$check" --list "$1" "$build_dir" 2>&1)" || code=$?
}

run_check "$real_list"
[ "$code" -eq 0 ] || fail "the real list does not pass (exit $code): $output"
grep -Eq '^check-deps: all [1-9][0-9]* packages' <<<"$output" ||
  fail "no count of checked packages: $output"

# One run for both faults: a package only the build uses is left out, and a name no
# package answers to is listed.
{
  grep -v '^libqt6opengl6-dev$' "$real_list"
  echo "rerov-no-such-package"
} >"$work/broken.txt"
run_check "$work/broken.txt"
[ "$code" -eq 1 ] || fail "a list without libqt6opengl6-dev passes (exit $code): $output"
grep -q 'missing from the package list: libqt6opengl6-dev' <<<"$output" ||
  fail "libqt6opengl6-dev is not named as missing: $output"
grep -q 'CMake package Qt6OpenGL' <<<"$output" || fail "no reason given for libqt6opengl6-dev: $output"
grep -q "add the package(s) above to $work/broken.txt" <<<"$output" ||
  fail "no advice to add it to the list: $output"
grep -q 'rerov-no-such-package is named in' <<<"$output" ||
  fail "the unknown package is not named: $output"

code=0
output="$("$check" --list "$real_list" "$work/no-build" 2>&1)" || code=$?
if [ "$code" -ne 2 ] || ! grep -q 'configure first' <<<"$output"; then
  fail "an unconfigured build folder is not reported (exit $code): $output"
fi

# install-deps.sh with apt-get and sudo replaced by recorders.
mkdir -p "$work/bin" "$work/scripts"
for tool in apt-get sudo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$tool" "$work/calls" >"$work/bin/$tool"
  chmod +x "$work/bin/$tool"
done
cp "$source_dir/scripts/install-deps.sh" "$work/scripts/"
install_with_list() {
  cp "$1" "$work/scripts/debian-packages.txt"
  : >"$work/calls"
  PATH="$work/bin:$PATH" "$work/scripts/install-deps.sh" >/dev/null
}

install_with_list "$real_list"
[ ! -s "$work/calls" ] || fail "install-deps.sh calls apt-get with everything installed: $(cat "$work/calls")"

if dpkg-query -W -f='${Provides}\n' 2>/dev/null | grep -q 'libqt6svg6-dev'; then
  printf 'libqt6svg6-dev\n' >"$work/virtual.txt"
  install_with_list "$work/virtual.txt"
  [ ! -s "$work/calls" ] ||
    fail "install-deps.sh installs a virtual name an installed package provides: $(cat "$work/calls")"
fi

{
  cat "$real_list"
  echo "rerov-no-such-package"
} >"$work/with-unknown.txt"
install_with_list "$work/with-unknown.txt"
if ! grep -q 'apt-get install .* rerov-no-such-package$' "$work/calls" ||
  grep -q 'install .*qt6-base-dev' "$work/calls"; then
  fail "install-deps.sh does not ask for exactly the missing package: $(cat "$work/calls")"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package list: all cases pass"
