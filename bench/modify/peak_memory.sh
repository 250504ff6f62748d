#!/usr/bin/env bash
# Peak memory (maximum resident set size) of `ksr replace` on one large file of short
# lines. Phrase, Reg Expr line by line, Multiline, and Reg Expr over the whole text when its
# matches cannot span more than 64 KB ('OLD\r\n' below) stream the file in pieces: the goal
# there is a few MB whatever the file's size (under 64 MB), backups included (KSR_MB=3072 for
# the 3 GB file; compare_replace.sh times it against sed -i). A whole-text expression whose
# matches may be of any length ('OLD\s+') still rewrites the file whole: about twice the
# file's size (the file's bytes, or, for an expression over other breaks than CR LF, the copy
# of them with CR LF breaks, once the bytes are let go, and the new content).
#
#   bench/modify/peak_memory.sh                 ksr from build/release (cmake --preset release;
#                                               cmake --build --preset release --target ksr)
#   KSR=/path/to/ksr KSR_MB=200 bench/modify/peak_memory.sh
#
# Measured on a 211 MB file, release build, /usr/bin/time -f '%M KB':
#   phrase keep / windows over LF, regex each line over CR LF, backup   12.6-12.9 MB
#   multiline unix / windows over LF, keep over CR LF                   20.0-20.2 MB
#   regex whole text 'OLD\r\n', keep / windows over CR LF      416.5 MB (2.02x)
#   regex whole text 'OLD\r\n', unix / mac over LF             427.5 MB (2.07x)
#   find regex whole text 'OLD\r\n' over CR LF alone           416.4 MB (2.02x)
#   (the whole-text rows' peak is the search's, which holds the file and its CR LF copy;
#   the change itself streams, adding nothing to it; 'OLD\s+' rewritten whole: 417-438 MB)
#   pass alone, whole text 'OLD\r\n' keep over CR LF: 27.6-27.8 MB; at 4x (845 MB) 27.6 MB;
#   unix over LF 31.6 MB; 'OLD\s+' (the whole file) 415.8 MB
# Before streaming (whole file, bench build):
#   multiline unix over LF / windows over LF / keep over CR LF   418-428 MB (2.02-2.07x)
#   regex 'OLD\r\n', windows over CR LF                          417 MB (2.02x)
#   regex 'OLD\r\n', unix or mac over LF, with or without backup 438 MB (2.12x)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
ksr=${KSR:-$root/build/release/src/cli/ksr}
mb=${KSR_MB:-200}
work=${KSR_PEAK_WORK:-${TMPDIR:-/tmp}/ksr-bench-peak}
rm -rf "$work"
mkdir -p "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/home/data"

python3 - "$work" "$mb" <<'PY'
import sys
work, mb = sys.argv[1], int(sys.argv[2])
chunk = ''.join("OLD\n" if i % 50 == 0 else "line %d of the text\n" % (i % 1000)
                for i in range(100000))
for name, text in (("lf.txt", chunk), ("crlf.txt", chunk.replace("\n", "\r\n"))):
    with open(f"{work}/{name}", "w", newline="") as f:
        while f.tell() < mb * 1024 * 1024:
            f.write(text)
PY

report() {
  awk -v l="$1" -v kb="$2" -v s="$3" 'BEGIN { printf "%-42s %8d KB  %.2fx the file\n", l, kb, kb * 1024 / s }'
}

measure() {
  local label=$1 source=$2
  shift 2
  rm -rf "$work/tree"
  mkdir "$work/tree"
  cp "$work/$source" "$work/tree/f.txt"
  local kb
  kb=$(/usr/bin/time -f '%M' "$ksr" replace --case "$@" "$work/tree" 2>&1 >/dev/null | tail -1)
  report "$label" "$kb" "$(stat -c %s "$work/tree/f.txt")"
}

# The same for `ksr find` alone.
measure_find() {
  local label=$1 source=$2
  shift 2
  local kb
  kb=$(/usr/bin/time -f '%M' "$ksr" find --case --no-subfolders --masks "$source" "$@" "$work" \
    2>&1 >/dev/null | tail -1)
  report "$label" "$kb" "$(stat -c %s "$work/$source")"
}

# The modify pass alone (no search before it) over `copies` copies of a file in one, with a
# Reg Expr replacement by NEW and no backup.
measure_pass() {
  local label=$1 source=$2 copies=$3
  shift 3
  rm -rf "$work/tree"
  mkdir "$work/tree"
  for _ in $(seq "$copies"); do cat "$work/$source"; done >"$work/tree/f.txt"
  local kb
  kb=$(/usr/bin/time -f '%M' "$pass" "$work/tree/f.txt" "$@" 2>&1 >/dev/null | tail -1)
  report "$label" "$kb" "$(stat -c %s "$work/tree/f.txt")"
}

nb=--no-backup
# Streamed, with backups (a link to the original, or a copy made by the kernel).
measure "phrase keep over LF, backup" lf.txt --with NEW OLD
measure "phrase windows over LF, backup" lf.txt --with NEW --line-separator windows OLD
measure "regex each line over CR LF, backup" crlf.txt --type regex --each-line --with NEW 'O.D'
measure "multiline unix over LF" lf.txt $nb --type multiline --with NEW --line-separator unix OLD
measure "multiline windows over LF" lf.txt $nb --type multiline --with NEW --line-separator windows OLD
measure "multiline keep over CR LF" crlf.txt $nb --type multiline --with NEW OLD
# Over the whole text, matches of a few bytes: streamed as well.
measure "regex whole text keep over CR LF, backup" crlf.txt --type regex --with NEW 'OLD\r\n'
measure "regex whole text windows over CR LF" crlf.txt $nb --type regex --with NEW --line-separator windows 'OLD\r\n'
measure "regex whole text unix over LF" lf.txt $nb --type regex --with NEW --line-separator unix 'OLD\r\n'
measure "regex whole text mac over LF" lf.txt $nb --type regex --with NEW --line-separator mac 'OLD\r\n'
# The search before the change reads a whole-text expression's files whole (with a copy of
# the text with CR LF breaks): its peak alone, which the rows above do not pass.
measure_find "find regex whole text over CR LF" crlf.txt --type regex 'OLD\r\n'
# Matches of any length: the whole file; with a backup, written from the file's bytes
# before they are let go.
measure "regex unbounded keep over CR LF" crlf.txt $nb --type regex --with NEW 'OLD\s+'
measure "regex unbounded unix over LF, backup" lf.txt --type regex --with NEW --line-separator unix 'OLD\s+'
# The change alone, from the bench build (cmake --preset bench; cmake --build --preset bench
# --target modify_pass_peak): the streamed whole-text change holds the same at four times
# the size.
pass=${KSR_PASS:-$root/build/bench/bench/modify/modify_pass_peak}
if [ -x "$pass" ]; then
  measure_pass "pass alone, whole text keep, CR LF" crlf.txt 1 'OLD\r\n'
  measure_pass "pass alone, whole text keep, CR LF, 4x" crlf.txt 4 'OLD\r\n'
  measure_pass "pass alone, whole text unix, LF" lf.txt 1 'OLD\r\n' unix
  measure_pass "pass alone, unbounded keep, CR LF" crlf.txt 1 'OLD\s+'
fi
rm -rf "$work"
