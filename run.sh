#!/usr/bin/env bash
# Installs what is missing, builds, and starts the product on the simulated devices.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
build/bin/rerovctl --simulate=keyboard list
build/bin/rerovctl --simulate=keyboard info
