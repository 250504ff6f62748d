#!/usr/bin/env bash
# Times `ksr find` against `rg -l` on 1 000 000 small files made on a tmpfs (not kept).
#
#   bench/million.sh                 make the tree in /dev/shm/ksr-million and time both
#   KSR_FILES=200000 bench/million.sh   a smaller tree
#   KSR_MILLION=/path bench/million.sh  make or reuse the tree there
#   KSR_RUNS=5                        runs per command (default 3)
#
# Goal: ksr at most 1.0x rg -l. The tree: 1000 folders of 1000 files of a few lines each,
# one file in a hundred holding the word searched for.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
files=${KSR_FILES:-1000000}
tree=${KSR_MILLION:-/dev/shm/ksr-million}
runs=${KSR_RUNS:-3}
build=${KSR_BUILD:-$root/build/search-bench}
ksr=$build/src/cli/ksr

if ! command -v hyperfine >/dev/null || ! command -v rg >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq hyperfine ripgrep
fi
cmake --preset release -B "$build" -DKESTRIX_UI=OFF >/dev/null
cmake --build "$build" -j2 --target ksr >/dev/null

if [ "$(cat "$tree/.complete" 2>/dev/null)" != "$files" ]; then
  rm -rf "$tree"
  mkdir -p "$tree"
  python3 - "$tree" "$files" <<'PY'
import os, sys
tree, files = sys.argv[1], int(sys.argv[2])
per = 1000
for n in range(files):
    folder = os.path.join(tree, "d%04d" % (n // per))
    if n % per == 0:
        os.mkdir(folder)
    word = "needle" if n % 100 == 0 else "straw"
    with open(os.path.join(folder, "f%04d.txt" % (n % per)), "w") as f:
        f.write("line one of file %d\nsome %s here\nthe last line\n" % (n, word))
PY
  echo "$files" >"$tree/.complete"
fi
echo "Tree: $tree ($files files)"
hyperfine --style basic --warmup 1 --runs "$runs" --ignore-failure \
  -n ksr "$ksr find --case needle '$tree' >/dev/null" \
  -n "rg -l" "rg -l -F needle '$tree' >/dev/null"
