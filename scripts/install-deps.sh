#!/usr/bin/env bash
# Installs the Debian 12 packages of scripts/debian-packages.txt, only those missing.
set -euo pipefail
cd "$(dirname "$0")"
mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' debian-packages.txt | grep -v '^$')

# Every name an installed package answers to: its own and the virtual names it provides
# (libqt6svg6-dev has no status of its own; an installed provider satisfies it).
declare -A present=()
while IFS=$'\t' read -r state name provides; do
  case "$state" in
    ?[itW]*) ;;
    *) continue ;;
  esac
  present[$name]=1
  IFS=',' read -ra provided <<<"$provides"
  for virtual in "${provided[@]}"; do
    virtual="${virtual%%(*}"
    virtual="${virtual//[[:space:]]/}"
    [ -n "$virtual" ] && present[${virtual%%:*}]=1
  done
done < <(dpkg-query -W -f='${db:Status-Abbrev}\t${Package}\t${Provides}\n' 2>/dev/null || true)

missing=()
for p in "${packages[@]}"; do
  [ -n "${present[${p%%:*}]:-}" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
