#!/usr/bin/env bash
# Packs a runnable Windows folder of Lumora two ways: the installer
# lumora-VERSION-setup-x64.exe (packaging/windows/lumora.nsi) and the portable
# lumora-VERSION-x64.zip, whose one folder Lumora is that folder.
#   package.sh FOLDER ICON VERSION OUTPUT_FOLDER
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: package.sh FOLDER ICON VERSION OUTPUT_FOLDER" >&2; exit 2; }
root=$(cd "$(dirname "$0")/../.." && pwd)
folder=$(cd "$1" && pwd)
icon=$(realpath "$2")
version=$3
mkdir -p "$4"
output=$(cd "$4" && pwd)
"$root/scripts/install-deps.sh" nsis zip >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The uninstaller removes what the folder holds, files first, the deepest folders first.
# shellcheck disable=SC2016 # $INSTDIR is NSIS's
(
  cd "$folder"
  find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
  find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|'
) >"$work/uninstall_files.nsh"

setup=$output/lumora-$version-setup-x64.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSOURCE="$folder" -DICON="$icon" \
  -DUNINSTALL_FILES="$work/uninstall_files.nsh" -DOUTFILE="$setup" \
  "$root/packaging/windows/lumora.nsi" >&2

portable=$output/lumora-$version-x64.zip
rm -f "$portable"
ln -s "$folder" "$work/Lumora"
(cd "$work" && zip -qrX "$portable" Lumora)
echo "$setup"
echo "$portable"
