#!/usr/bin/env bash
# Installs the Debian 12 packages of scripts/debian-packages.txt, only those missing.
set -euo pipefail
cd "$(dirname "$0")"
mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' debian-packages.txt | grep -v '^$')
missing=()
for p in "${packages[@]}"; do
  # A virtual name (libqt6svg6-dev) has no status of its own: apt-get resolves it.
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
