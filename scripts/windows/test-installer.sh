#!/usr/bin/env bash
# Tests the Windows installer under Wine, in a new prefix on a virtual X display: a silent
# install with the file types, the programs, Qt's platform plugin and Polish texts, the
# uninstaller, its entry in "Apps & features" and the Start-menu entry in place; the installed
# lumora.exe answers --version and, started from the Start-menu entry, shows its main window; a
# project opened as Explorer opens it (its file type's open command, through `wine start`)
# opens in Lumora and becomes its recent project; a silent uninstall then leaves no file and no
# registry key of Lumora behind, its settings and the file types' commands included.
#   test-installer.sh SETUP_EXE [--picture FILE]   FILE: a PNG of the main window as shown
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
usage() { echo "usage: test-installer.sh SETUP_EXE [--picture FILE]" >&2; exit 2; }
[ $# -eq 1 ] || [ $# -eq 3 ] || usage
setup=$(realpath "$1")
picture=""
if [ $# -eq 3 ]; then
  [ "$2" = --picture ] || usage
  picture=$(realpath "$3")
fi
"$root/scripts/install-deps.sh" wine wine64 fonts-wine xvfb xauth xdotool imagemagick >&2
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
# A home of its own, so that the prefix's Documents is no folder of the machine's user.
export HOME=$work/home
mkdir -p "$HOME"
# shellcheck source=scripts/windows/wine-prefix-app.sh
. "$here/wine-prefix-app.sh"
lumora_wine_prefix "$WINEPREFIX"

fail() { echo "test-installer: $*" >&2; exit 1; }
unix_path() { winepath -u "$1" 2>/dev/null; }
# A Windows variable of the prefix, such as APPDATA.
windows_variable() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
# What Wine's drive C and the home (where Wine puts the user's Documents) hold, apart from
# Wine itself and the temporary folders.
files() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -ipath '*/temp' -prune -o -print)
  (cd "$HOME" && find . -path ./.wine -prune -o -printf 'home/%P\n')
}
keys=(
  'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora'
  'HKLM\Software\Classes\.sqx' 'HKLM\Software\Classes\.prj'
  'HKLM\Software\Classes\Lumora.Sequence\shell\open\command'
  'HKLM\Software\Classes\Lumora.Project\shell\open\command'
)
# Written by Lumora once it has opened a file.
settings_key='HKCU\Software\Lumora'

key_exists() { wine reg query "$1" >/dev/null 2>&1; }

before=$(files | sort)
wine "$setup" /S /ASSOCIATE || fail "the silent install failed"
wineserver -w

program_files=$(unix_path "$(windows_variable ProgramW6432)\\Lumora")
for file in lumora.exe lumora-cli.exe platforms/qwindows.dll translations/qtbase_pl.qm \
  uninstall.exe; do
  [ -f "$program_files/$file" ] || fail "no $file in Program Files\\Lumora"
done
shortcut=$(unix_path "$(windows_variable APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Lumora.lnk")
[ -f "$shortcut" ] || fail "no Start-menu entry"
documents=$(unix_path "$(windows_variable USERPROFILE)\\Documents\\Lumora")
[ -d "$documents" ] || fail "no Documents\\Lumora"
# The entry starts Lumora in Documents\Lumora, where it reads str.tab; the link holds the
# folder in UTF-16.
strings -el "$shortcut" | grep -qx '.:\\.*\\Documents\\Lumora' ||
  fail "the Start-menu entry does not start in Documents\\Lumora"
for key in "${keys[@]}"; do
  key_exists "$key" || fail "no registry key $key"
done
command=$(wine reg query 'HKLM\Software\Classes\Lumora.Project\shell\open\command' /ve |
  tr -d '\r')
grep -qF '"C:\Program Files\Lumora\lumora.exe" "%1"' <<<"$command" ||
  fail "the projects' open command is not lumora.exe \"%1\": $command"

expected="lumora $(sed -n 's/^project(Lumora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
version=$(wine "$program_files/lumora.exe" --version | tr -d '\r')
[ "$version" = "$expected" ] || fail "lumora.exe --version printed \"$version\", not \"$expected\""

# The main window, from the Start-menu entry, then closed as a user closes it.
wine start /unix "$shortcut"
window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Lumora$' | head -n1) ||
  fail "the main window did not show"
if [ -n "$picture" ]; then
  # The window's first paint.
  xdotool sleep 2
  import -window "$window" "png:$picture"
fi
xdotool windowfocus --sync "$window" key --clearmodifiers alt+F4
timeout 60 wineserver -w || fail "lumora.exe did not end when its main window was closed"
! key_exists "$settings_key" || fail "Lumora wrote its settings without opening a file"

# A project opened as a double click in Explorer opens it: Lumora shows it and keeps it as its
# recent project. Read under its Polish name: a name in the system's code page would be refused.
project="$documents/Pokaz świąteczny.prj"
cp "$root/fuzz/corpus/project/two_programs.prj" "$project"
wine start /unix "$project"
# Looked for again while Wine's start makes and drops its own windows, which can vanish under
# one search.
window=""
for _ in $(seq 120); do
  window=$(xdotool search --onlyvisible --name '^Lumora$' 2>/dev/null | head -n1) || true
  [ -n "$window" ] && break
  sleep 1
done
[ -n "$window" ] || fail "opening a project did not show the main window"
recent() { wine reg query "$settings_key\Lumora\recent" /v projects 2>/dev/null | tr -d '\r'; }
for _ in $(seq 60); do
  recent | grep -q 'Documents/Lumora/Pokaz .*\.prj' && break
  sleep 1
done
recent | grep -q 'Documents/Lumora/Pokaz .*\.prj' ||
  fail "the project opened from Explorer is not Lumora's recent project: $(recent)"
# A refused file would have shown its message, a second window titled Lumora.
[ "$(xdotool search --onlyvisible --name '^Lumora$' | wc -l)" -eq 1 ] ||
  fail "opening the project showed a message"
xdotool windowfocus --sync "$window" key --clearmodifiers alt+F4
timeout 60 wineserver -w || fail "lumora.exe did not end when its main window was closed"
rm "$project"

# The uninstaller runs on from a copy of itself in the temporary folder: wait for that too.
wine "$program_files/uninstall.exe" /S || fail "the silent uninstall failed"
wineserver -w
for key in "${keys[@]}" "$settings_key"; do
  ! key_exists "$key" || fail "the registry key $key is left"
done
after=$(files | sort)
left=$(comm -13 <(echo "$before") <(echo "$after"))
[ -z "$left" ] || fail "left behind: $left"
echo "test-installer: install, start and uninstall passed"
