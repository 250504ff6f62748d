#!/usr/bin/env bash
# Times `ksr find --type regex` against `grep -E -c` and `rg -j1 -c` for the expressions of
# the engine, on the corpus tree of bench/compare.sh and on one big file made from it, and
# prints the ratios (wall medians and CPU time). ksr runs on one thread, as the others do,
# and with its default threads for comparison.
#
#   KSR=path/to/ksr KSR_CORPUS=/path bench/regex/compare_regex.sh   (compare.sh sets both)
#   KSR_RUNS=5            runs per command (default 5)
#   KSR_BIG_MB=500        size of the one big file in MB (default 500)
#   KSR_LINE_MB=1000      size of the one long line in MB (default 1000; 0: no line rows)
#   KSR_ONLY_LINE=1       only the long-line rows
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

# KSR_ONLY_LINE=1 runs only the long-line rows at the end.
onlyLine=${KSR_ONLY_LINE:-0}

# One text file: the corpus's headers (NUL bytes dropped, so that no tool takes it for
# binary), repeated up to the size asked for. The folder holds that file alone (ksr takes
# a folder).
if [ "$onlyLine" != 1 ] && [ ! -f "$big.complete-$bigMb" ]; then
  rm -rf "$big"
  mkdir -p "$big"
  while [ "$(stat -c %s "$big/big.txt" 2>/dev/null || echo 0)" -lt $((bigMb * 1000000)) ]; do
    find "$corpus" -type f -name '*.h' -print0 | sort -z | xargs -0 cat | tr -d '\000' >>"$big/big.txt"
  done
  truncate -s $((bigMb * 1000000)) "$big/big.txt"
  touch "$big.complete-$bigMb"
fi
[ "$onlyLine" = 1 ] || cat "$big/big.txt" >/dev/null

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

[ "$onlyLine" = 1 ] && rows=()
[ "$onlyLine" = 1 ] || printf '\n%-22s %8s %8s %8s %8s %9s %9s %9s %9s %9s\n' "expression" "ksr1 ms" "ksr ms" "grep ms" \
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
[ "$onlyLine" = 1 ] || echo
[ "$onlyLine" = 1 ] || echo "Wall: medians of $runs runs after one warm-up. ksr1 = ksr find --threads 1, ksr = its"
[ "$onlyLine" = 1 ] || echo "default threads (one per core), rg1 = rg -j1; grep is single-threaded. The goals compare"
[ "$onlyLine" = 1 ] || echo "one thread with one thread (ksr1). cpu/x: ratio of mean user+system time of ksr1."

# ==========================================================================================
# One long line: the corpus's headers with every line break made a space, KSR_LINE_MB MB
# (default 1000) ending with "aaaneedle", searched with a+needle (its only match is at the
# end: grep -c reads the whole line too) and changed with the same expression, on a fresh
# copy for each run, against `sed -i -E`. Goals: find at most 1.5x grep -E, replace at
# most 1.5x sed -i. KSR_LINE_MB=0 leaves these rows out; the line is removed at the end.
lineMb=${KSR_LINE_MB:-1000}
if [ "$lineMb" -gt 0 ]; then
  lineDir=${KSR_LINE_DIR:-${TMPDIR:-/tmp}/ksr-bench-line}
  rm -rf "$lineDir"
  mkdir -p "$lineDir/find" "$lineDir/replace"
  trap 'rm -rf "$out" "$lineDir"' EXIT
  line=$lineDir/find/line.txt
  while [ "$(stat -c %s "$line" 2>/dev/null || echo 0)" -lt $((lineMb * 1000000)) ]; do
    find "$corpus" -type f -name '*.h' -print0 | sort -z | xargs -0 cat | tr '\n\r\000' '   ' >>"$line"
  done
  truncate -s $((lineMb * 1000000)) "$line"
  printf ' aaaneedle\n' >>"$line"
  copy=$lineDir/replace/line.txt
  json=$out/line.json
  hyperfine --style none --warmup 1 --runs "$runs" --ignore-failure --export-json "$json" \
    -n ksr "$ksr find --threads 1 --case --type regex 'a+needle' '$lineDir/find' >'$out/ksr.txt'" \
    -n grep "LC_ALL=C grep -E -c 'a+needle' '$line' >'$out/grep.txt'" >/dev/null 2>&1
  # Each replace run changes its own fresh copy, made in the prepare step (not timed).
  json2=$out/line-replace.json
  hyperfine --style none --runs "$runs" --ignore-failure --export-json "$json2" \
    --prepare "cp '$line' '$copy'" \
    -n ksr "$ksr replace --no-backup --case --type regex 'a+needle' --with 'X' '$lineDir/replace' >/dev/null" \
    -n sed "sed -i -E 's/a+needle/X/g' '$copy'" >/dev/null 2>&1
  peakFind=$( { /usr/bin/time -f '%M' "$ksr" find --threads 1 --case --type regex 'a+needle' \
    "$lineDir/find" >/dev/null; } 2>&1 | tail -1)
  cp "$line" "$copy"
  peakReplace=$( { /usr/bin/time -f '%M' "$ksr" replace --no-backup --case --type regex 'a+needle' \
    --with 'X' "$lineDir/replace" >/dev/null; } 2>&1 | tail -1)
  printf '\n%-30s %8s %8s %7s %7s %7s\n' "one ${lineMb} MB line" "ksr ms" "peer ms" "ratio" \
    "cpu" "ksr MB"
  python3 - "$json" "$json2" "$peakFind" "$peakReplace" <<'PY'
import json, sys
for path, peer, name, peak in ((sys.argv[1], "grep", "find a+needle vs grep -E", sys.argv[3]),
                               (sys.argv[2], "sed", "replace a+needle vs sed -i", sys.argv[4])):
    runs = {r["command"]: r for r in json.load(open(path))["results"]}
    k, p = runs["ksr"]["median"] * 1000, runs[peer]["median"] * 1000
    cpu = lambda r: r["user"] + r["system"]
    print(f"{name:<30} {k:8.0f} {p:8.0f} {k/p:7.2f} {cpu(runs['ksr'])/cpu(runs[peer]):7.2f} "
          f"{int(peak)/1024:7.0f}")
PY
  echo "ratio: of wall medians; cpu: of mean user+system time. ksr MB: peak resident memory."
  rm -rf "$lineDir"
fi
