#!/usr/bin/env bash
# Makes docs/main_window.png, the README's picture: the real program on the simulated
# keyboard, mouse and headset, under Xvfb on a 1600 x 1000 screen, taken with
# `rerovctl app screenshot`. Run after scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bin="$PWD/build/bin"
out="${1:-$PWD/docs/main_window.png}"
runtime="$(mktemp -d)"
data="$(mktemp -d)"
trap 'rm -rf "$runtime" "$data"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime" XDG_DATA_HOME="$data"
# shellcheck disable=SC2016  # expanded by the inner shell
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
  set -euo pipefail
  "$0/rerov-ever" --simulate=keyboard,mouse,headset &
  program=$!
  for _ in $(seq 1 100); do
    "$0/rerovctl" app state 2>/dev/null | grep -q "keyboard: shown, current, connected" && break
    sleep 0.2
  done
  sleep 1  # the key picture finishes its first paint
  status=0
  "$0/rerovctl" app screenshot "$1" || status=$?
  "$0/rerovctl" app quit
  wait "$program"
  exit "$status"
' "$bin" "$out"
