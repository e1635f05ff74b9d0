#!/usr/bin/env bash
# Installs what building and testing pardim needs on a Debian 12 machine, skipping what is there.
# Usage: scripts/setup.sh [build|run|test]
#   build: the compilers and the host stand-in's libraries;
#   run:   also Wine, Xvfb and the Japanese font, to run the real dialog;
#   test:  also the reference libraries of the tests and the fuzzing compiler.
set -euo pipefail

want=(cmake ninja-build g++ g++-mingw-w64-x86-64 g++-mingw-w64-i686 libgtest-dev
      libcli11-dev libtomlplusplus-dev librsvg2-bin zip unzip python3)
mode=${1:-test}
if [ "$mode" = run ] || [ "$mode" = test ]; then
    want+=(wine64 wine wine32:i386 xvfb xdotool fonts-ipafont-gothic imagemagick x11-utils)
fi
if [ "$mode" = test ]; then
    # icoutils: wrestool reads the manifest and version resource out of each exe.
    want+=(libmpfr-dev clang libclang-rt-14-dev icoutils)
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"

# 32-bit Wine runs the 32-bit exe; its packages need the i386 architecture. They install on a
# machine whose kernel refuses 32-bit programs too (scripts/wine.sh then runs the 64-bit exe).
if [ "$mode" != build ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi

missing=()
for pkg in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
