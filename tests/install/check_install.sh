#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree as a desktop sees it: the
# programs run, the menu entry, the metainfo and the icon are valid, both manual pages
# render, and the bash completion offers the options. Each tool check runs when the tool
# is present. Usage: check_install.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2/install-tree
rm -rf "$work" && mkdir -p "$work/home"
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }
have() { command -v "$1" >/dev/null; }

cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.kestrix.Kestrix
share=$prefix/share
expected=(bin/ksr share/bash-completion/completions/ksr)
ui=false
[ -e "$build/src/ui/kestrix" ] && ui=true
$ui && expected+=(bin/kestrix "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
                  "share/icons/hicolor/scalable/apps/$id.svg")
if grep -q '^HELP2MAN:FILEPATH=/' "$build/CMakeCache.txt"; then
  expected+=(share/man/man1/ksr.1.gz)
  $ui && expected+=(share/man/man1/kestrix.1.gz)
fi
for f in "${expected[@]}"; do [ -e "$prefix/$f" ] || fail "not installed: $f"; done

"$prefix/bin/ksr" --version | grep -q '^ksr (Kestrix Search & Replace) ' || fail "ksr --version"
if $ui; then
  "$prefix/bin/kestrix" --version | grep -q '^kestrix (Kestrix Search & Replace) ' ||
    fail "kestrix --version"
  "$prefix/bin/kestrix" --help | grep -q -- '-path=FOLDER' || fail "kestrix --help"
  grep -qx 'Exec=kestrix -path=%f' "$share/applications/$id.desktop" || fail "Exec line"
  if have desktop-file-validate; then
    desktop-file-validate "$share/applications/$id.desktop" | grep -v ': hint: ' | grep . &&
      fail "desktop-file-validate"
  fi
  if have appstreamcli; then
    appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$work/appstream.out" ||
      { cat "$work/appstream.out"; fail "appstreamcli validate"; }
  fi
  if have xmllint; then xmllint --noout "$share/icons/hicolor/scalable/apps/$id.svg"; fi
fi

# The manual pages render and name what the programs' --help names.
if have man && [ -e "$share/man/man1/ksr.1.gz" ]; then
  pages=(ksr)
  $ui && pages+=(kestrix)
  for page in "${pages[@]}"; do
    MANWIDTH=100 man -P cat -l "$share/man/man1/$page.1.gz" >"$work/$page.txt" 2>"$work/$page.err" ||
      { cat "$work/$page.err"; fail "man -l $page.1"; }
    [ -s "$work/$page.err" ] && { cat "$work/$page.err"; fail "man -l $page.1 warned"; }
  done
  for word in erase-backups --json --null --color --no-subfolders; do
    grep -q -- "$word" "$work/ksr.txt" || fail "ksr.1 lacks $word"
  done
  $ui && { grep -q -- '-path=FOLDER' "$work/kestrix.txt" || fail "kestrix.1 lacks -path"; }
fi

# The completion, when bash-completion is there to load it.
completion=/usr/share/bash-completion/bash_completion
if [ -r "$completion" ]; then
  got=$(PATH=$prefix/bin:$PATH bash -c '
    source '"$completion"'; source "$1"
    COMP_WORDS=(ksr find --js); COMP_CWORD=2; COMP_LINE="ksr find --js"; COMP_POINT=13
    _ksr ksr --js find; echo "${COMPREPLY[*]}"
    COMP_WORDS=(ksr replace --mode in); COMP_CWORD=3; COMP_LINE="ksr replace --mode in"
    COMP_POINT=21; _ksr ksr in --mode; echo "${COMPREPLY[*]}"
    COMP_WORDS=(ksr er); COMP_CWORD=1; COMP_LINE="ksr er"; COMP_POINT=6
    _ksr ksr er ksr; echo "${COMPREPLY[*]}"' _ "$share/bash-completion/completions/ksr")
  [ "$got" = $'--json\ninsert-before insert-after\nerase-backups' ] || fail "completion: $got"
fi
echo "install tree checked: $prefix"
