#!/usr/bin/env bash
# Builds the optimised program and its Debian package build/release/kestrix_VERSION_ARCH.deb,
# whose dependencies dpkg-shlibdeps computes from the binaries. Install it with
#   apt-get install ./build/release/kestrix_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
(cd build/release && cpack -G DEB)
ls -1 build/release/kestrix_*.deb
