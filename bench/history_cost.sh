#!/bin/bash
# The cost of a replace run with its undo history against another build of ksr (normally
# main's): wall time of `ksr replace` over 3 000 files of 4 KiB, and the disk the run
# leaves behind (backups, journal or history). Both builds run on fresh copies of the same
# tree, alternately.
#   bench/history_cost.sh BASELINE_KSR CANDIDATE_KSR [FILES] [RUNS]
set -euo pipefail
base=${1:?baseline ksr}
cand=${2:?candidate ksr}
files=${3:-3000}
runs=${4:-5}
work=$(mktemp -d /tmp/history-cost.XXXXXX)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/seed"
line="The quick OLD fox jumps over the lazy dog; OLD again and more text to fill up\n"
body=$(for _ in $(seq 52); do printf "$line"; done)
for i in $(seq "$files"); do
  d="$work/seed/d$((i % 30))"
  mkdir -p "$d"
  printf '%s\n' "$body" > "$d/f$i.txt"
done

# prepare NAME: a fresh tree and data folder for one timed run.
prepare() {
  rm -rf "$work/$1" "$work/$1-data"
  cp -a "$work/seed" "$work/$1"
  mkdir -p "$work/$1-data"
}

for who in base cand; do
  bin=$([ $who = base ] && echo "$base" || echo "$cand")
  hyperfine --runs "$runs" --export-json "$work/$who.json" \
    --prepare "rm -rf '$work/$who' '$work/$who-data'; cp -a '$work/seed' '$work/$who'; mkdir -p '$work/$who-data'" \
    "XDG_DATA_HOME='$work/$who-data' '$bin' replace --case --with NEW OLD '$work/$who' >/dev/null" \
    | grep -E 'Time|Range'
  # One du over both counts a copy hard-linked from its backup once.
  echo "$who: tree $(du -sk "$work/$who" | cut -f1) KiB (seed $(du -sk "$work/seed" | cut -f1) KiB)," \
       "data folder alone $(du -sk "$work/$who-data" | cut -f1) KiB," \
       "tree and data folder together $(du -skc "$work/$who" "$work/$who-data" | tail -1 | cut -f1) KiB"
done
