#!/usr/bin/env bash
# Installs what building and testing pardim needs on a Debian 12 machine, skipping what is there.
# Usage: scripts/setup.sh [build|test]   (build: compilers only; test: also Wine, Xvfb, fonts)
set -euo pipefail

want=(cmake ninja-build g++ g++-mingw-w64-x86-64 libgtest-dev)
if [ "${1:-test}" = test ]; then
    want+=(wine64 wine xvfb fonts-ipafont-gothic imagemagick x11-utils)
fi

missing=()
for pkg in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
