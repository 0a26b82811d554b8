#!/usr/bin/env bash
# Installs the Debian packages Lumora builds and tests with, and any further packages named
# as arguments.
set -euo pipefail
packages=("$@"
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev fonts-liberation
  fonts-dejavu-core dbus
  libftdi1-dev sigrok-cli
  libcli11-dev libgif-dev
  libgtest-dev libgmock-dev
  dpkg-dev file lintian desktop-file-utils appstream shared-mime-info xdg-utils
  libfile-mimeinfo-perl
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
