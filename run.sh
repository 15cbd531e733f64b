#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window on the simulated keyboard.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display; the window runs on Qt's offscreen platform." >&2
  echo "run.sh: drive it from another shell: build/bin/rerovctl app state | sim ... | app quit" >&2
  export QT_QPA_PLATFORM=offscreen
fi
exec build/bin/rerov-ever --simulate "$@"
