#!/usr/bin/env bash
# Installs what is missing, builds the program optimised, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [ -x build/release/src/ui/kestrix ]; then
  exec build/release/src/ui/kestrix "$@"
fi
exec build/release/src/cli/ksr --help
