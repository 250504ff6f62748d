#!/usr/bin/env bash
# Builds the Debian package of the build with cpack, checks its dependencies (computed by
# dpkg-shlibdeps), unpacks it into a temporary root and runs the programs from there;
# lintian looks at it when installed. Skips (exit 0 with a note) when the Debian tools are
# missing. Usage: check_package.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2/package
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 0; }
done
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work/root" "$work/home"
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$work"/kestrix_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libc6* ]] || fail "no libc6 in Depends (dpkg-shlibdeps not used?)"
ui=false
[ -e "$build/src/ui/kestrix" ] && ui=true
if $ui; then
  [[ $depends == *libqt6widgets6* && $depends == *libqt6svg6* ]] || fail "Qt missing in Depends"
fi

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/ksr" --version | grep -q '^ksr (Kestrix Search & Replace) ' ||
  fail "packaged ksr --version"
if $ui; then
  "$work/root/usr/bin/kestrix" --version >/dev/null || fail "packaged kestrix --version"
  [ -e "$work/root/usr/share/applications/org.kestrix.Kestrix.desktop" ] || fail "no menu entry"
fi
dpkg-deb -c "$deb" >"$work/contents"
grep -q './usr/share/man/man1/ksr.1.gz' "$work/contents" || ! command -v help2man >/dev/null ||
  fail "no manual page in the package"

if command -v lintian >/dev/null; then
  # Errors fail the check; warnings are shown. A locally built package carries no
  # changelog or copyright file of the Debian archive.
  lintian --tag-display-limit 0 --suppress-tags no-copyright-file,no-changelog \
    "$deb" >"$work/lintian.out" 2>&1 || true
  cat "$work/lintian.out"
  grep -q '^E: ' "$work/lintian.out" && fail "lintian errors"
fi
echo "package checked: $deb"
