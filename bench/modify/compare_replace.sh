#!/usr/bin/env bash
# Times `ksr replace` against `sed -i` on the files `grep -rl` lists, each on its own fresh
# copy of the same tree of a few thousand LF-only headers, and checks that both copies end
# byte-identical.
#
#   bench/modify/compare_replace.sh             build ksr (release, own build folder) and run
#   KSR=/path/to/ksr bench/modify/compare_replace.sh   use that ksr
#   KSR_RUNS=10 KSR_REPLACE_FILES=5000 bench/modify/compare_replace.sh
#
# Goal: ksr within 1.5x of grep -rl | xargs sed -i, and the same bytes on disk.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${KSR_RUNS:-5}
files=${KSR_REPLACE_FILES:-3000}
old=${KSR_REPLACE_OLD:-const}
new=${KSR_REPLACE_NEW:-KONST}
work=${KSR_REPLACE_WORK:-${TMPDIR:-/tmp}/ksr-bench-replace}
ksr=${KSR:-}
if [ -z "$ksr" ]; then
  build=$root/build/modify-bench
  cmake --preset release -B "$build" -DKESTRIX_UI=OFF >/dev/null
  cmake --build "$build" -j2 --target ksr >/dev/null
  ksr=$build/src/cli/ksr
fi

# The master tree: regular .h files of /usr/include without CR or NUL bytes (sed keeps a
# CR that ksr would normalise, and ksr never rewrites a file with a NUL byte).
master=$work/master
if [ ! -f "$work/.complete-$files" ]; then
  rm -rf "$work"
  mkdir -p "$master"
  (cd /usr/include && find . -type f -name '*.h' -print0 | LC_ALL=C sort -z |
    sed -z -n "1,${files}p" | { xargs -0 grep -LaP '[\r\x00]' || true; } | tr '\n' '\0' |
    tar --null -T - -cf -) | tar -xf - -C "$master"
  touch "$work/.complete-$files"
fi
count=$(find "$master" -type f | wc -l)
hits=$(grep -rlF -- "$old" "$master" | wc -l)
echo "Replace corpus: $master ($(du -sh "$master" | cut -f1), $count files, $hits with \"$old\")"

a=$work/ksr-copy
b=$work/sed-copy
kcmd="$ksr replace --case --no-backup --line-separator unix --modify-read-only --modify-hidden --with '$new' '$old' '$a' >/dev/null"
scmd="grep -rlF --null -- '$old' '$b' | xargs -0 sed -i 's/$old/$new/g'"
json=$(mktemp)
trap 'rm -f "$json"' EXIT
hyperfine --style none --warmup 1 --runs "$runs" --export-json "$json" \
  --prepare "rm -rf '$a' '$b' && cp -r '$master' '$a' && cp -r '$master' '$b' && sync" \
  -n ksr "$kcmd" -n sed "$scmd" >/dev/null

# One more run of each on fresh copies for the byte comparison.
rm -rf "$a" "$b" && cp -r "$master" "$a" && cp -r "$master" "$b"
eval "$kcmd" || [ $? -eq 3 ]
eval "$scmd"
if diff -r "$a" "$b" >/dev/null; then same="identical"; else same="DIFFERENT"; fi

python3 - "$json" "$same" <<'PY'
import json, sys
data = {r["command"]: r["median"] * 1000 for r in json.load(open(sys.argv[1]))["results"]}
k, s = data["ksr"], data["sed"]
print(f"\n{'replace':<26} {'ksr ms':>10} {'sed ms':>10} {'ksr/sed':>9}  result")
print(f"{'literal, --no-backup':<26} {k:10.1f} {s:10.1f} {k/s:9.2f}  {sys.argv[2]}")
PY
echo "Medians of $runs runs after one warm-up, each on fresh copies (copying not timed)."
