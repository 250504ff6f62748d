#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset test >/dev/null
cmake --build --preset test
ctest --preset test -j2 "$@"
# The search tests once more under ThreadSanitizer: the parallel Find run and its walk.
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan -j2
