#!/usr/bin/env bash
# Times `ksr find --type regex` against `grep -E -c` and `rg -j1 -c` for the expressions of
# the engine, on the corpus tree of bench/compare.sh and on one big file made from it, and
# prints the ratios (wall medians and CPU time). ksr runs on one thread, as the others do,
# and with its default threads for comparison.
#
#   KSR=path/to/ksr KSR_CORPUS=/path bench/regex/compare_regex.sh   (compare.sh sets both)
#   KSR_RUNS=5            runs per command (default 5)
#   KSR_BIG_MB=500        size of the one big file in MB (default 500)
#
# The counts go to files: GNU grep stops at the first match when its output is /dev/null.
# grep runs with LC_ALL=C: it compares bytes, as ksr does, and a byte that is not UTF-8
# does not make it take a text file for binary and stop at the first match.
#
# Goals, one thread each: on the tree at most 1.0x grep -E and 1.5x rg -j1; on the big file
# at most 2x rg -j1.
set -euo pipefail

ksr=${KSR:?set KSR to the ksr binary}
corpus=${KSR_CORPUS:?set KSR_CORPUS to the corpus folder}
runs=${KSR_RUNS:-5}
bigMb=${KSR_BIG_MB:-500}
big=${KSR_BIG_DIR:-${TMPDIR:-/tmp}/ksr-bench-bigfile}

# One text file: the corpus's headers (NUL bytes dropped, so that no tool takes it for
# binary), repeated up to the size asked for. The folder holds that file alone (ksr takes
# a folder).
if [ ! -f "$big.complete-$bigMb" ]; then
  rm -rf "$big"
  mkdir -p "$big"
  while [ "$(stat -c %s "$big/big.txt" 2>/dev/null || echo 0)" -lt $((bigMb * 1000000)) ]; do
    find "$corpus" -type f -name '*.h' -print0 | sort -z | xargs -0 cat | tr -d '\000' >>"$big/big.txt"
  done
  truncate -s $((bigMb * 1000000)) "$big/big.txt"
  touch "$big.complete-$bigMb"
fi
cat "$big/big.txt" >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Each row: name | target | the expression.
rows=(
  "[a-z]+_t tree|$corpus|[a-z]+_t"
  "fo+ba?r tree|$corpus|fo+ba?r"
  "\\w+_t tree|$corpus|\\w+_t"
  "[a-z]+_t big file|$big|[a-z]+_t"
  "fo+ba?r big file|$big|fo+ba?r"
  "\\w+_t big file|$big|\\w+_t"
)

printf '\n%-22s %8s %8s %8s %8s %9s %9s %9s %9s %9s\n' "expression" "ksr1 ms" "ksr ms" "grep ms" \
  "rg1 ms" "ksr1/grep" "ksr1/rg1" "cpu/grep" "cpu/rg1" "ksr/rg1"
for row in "${rows[@]}"; do
  IFS='|' read -r name target query <<<"$row"
  json=$out/row.json
  hyperfine --style none --warmup 1 --runs "$runs" --ignore-failure --export-json "$json" \
    -n ksr1 "$ksr find --threads 1 --case --type regex '$query' '$target' >'$out/ksr1.txt'" \
    -n ksr "$ksr find --case --type regex '$query' '$target' >'$out/ksr.txt'" \
    -n grep "LC_ALL=C grep -r -E -c '$query' '$target' >'$out/grep.txt'" \
    -n rg "rg -j1 -c -e '$query' '$target' >'$out/rg.txt'" >/dev/null 2>&1
  python3 - "$json" "$name" <<'PY'
import json, sys
runs = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
wall = {c: r["median"] * 1000 for c, r in runs.items()}
cpu = {c: (r["user"] + r["system"]) * 1000 for c, r in runs.items()}
k1, k, g, r = wall["ksr1"], wall["ksr"], wall["grep"], wall["rg"]
print(f"{sys.argv[2]:<22} {k1:8.0f} {k:8.0f} {g:8.0f} {r:8.0f} {k1/g:9.2f} {k1/r:9.2f} "
      f"{cpu['ksr1']/cpu['grep']:9.2f} {cpu['ksr1']/cpu['rg']:9.2f} {k/r:9.2f}")
PY
done
echo
echo "Wall: medians of $runs runs after one warm-up. ksr1 = ksr find --threads 1, ksr = its"
echo "default threads (one per core), rg1 = rg -j1; grep is single-threaded. The goals compare"
echo "one thread with one thread (ksr1). cpu/x: ratio of mean user+system time of ksr1."
