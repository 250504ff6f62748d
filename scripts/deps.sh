#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need, when missing.
# Safe to run again: packages already present are left alone.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev
  qt6-base-dev qt6-base-dev-tools
  nlohmann-json3-dev
  libutf8proc-dev unicode-data
  help2man
  desktop-file-utils
  appstream
  libqt6svg6
  dpkg-dev file
  bash-completion
  strace
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
