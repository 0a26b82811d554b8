#!/usr/bin/env bash
# Builds the Debian package from a Release build into a temporary folder and checks it: the
# files it installs, its dependencies, the menu entry, the file types and the desktop's answers
# about them, the AppStream metadata, the program's answer to --version, and that lintian finds
# no error.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
debs=("$work"/lumora_"$version"-*_*.deb)
[ -f "${debs[0]}" ] || { cat "$work/cpack.log"; echo "FAIL: no lumora_${version}-*.deb"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for path in /usr/bin/lumora /usr/bin/lumora-cli \
  /usr/share/applications/lumora.desktop /usr/share/mime/packages/lumora.xml \
  /usr/share/metainfo/io.github.lumora.Lumora.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/lumora.svg \
  /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/lumora.png \
  /usr/lib/udev/rules.d/60-lumora-ftdi.rules \
  /usr/share/man/man1/lumora.1.gz /usr/share/man/man1/lumora-cli.1.gz \
  /usr/share/doc/lumora/copyright \
  /usr/share/doc/lumora/changelog.Debian.gz; do
  grep -qxF "$path" "$work/files" || fail "missing $path"
done
# Nothing outside /usr, nothing of the build (headers, static libraries) inside it.
grep -v -e '^/$' -e '^/usr/' "$work/files" && fail "files outside /usr"
grep -E '\.(a|h|cmake)$' "$work/files" && fail "build files in the package"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libftdi1 libgif7 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins \
  qt6-translations-l10n; do
  grep -q "\b$library" <<<"$depends" || fail "Depends has no $library"
done

dpkg-deb -x "$deb" "$work/root"
share=$work/root/usr/share
desktop-file-validate "$share/applications/lumora.desktop" || fail "desktop entry"
grep -qx 'Exec=lumora %f' "$share/applications/lumora.desktop" || fail "the menu entry takes no file"

# The desktop's databases as the package's triggers build them, and what it then makes of a
# project, a sequence and its default program for both; a .prj of another program is named a
# project too (Lumora refuses it with its usual message).
update-mime-database "$share/mime" || fail "update-mime-database"
update-desktop-database "$share/applications" || fail "update-desktop-database"
printf '1 128 1 128 ' >"$work/pokaz.sqx"
cp "$(dirname "$0")/../../fuzz/corpus/project/two_programs.prj" "$work/Pokaz świąteczny.PRJ"
printf 'PROJCS["ETRS89 / Poland CS92"]' >"$work/uklad.prj"
desktop() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CURRENT_DESKTOP -u KDE_FULL_SESSION \
    -u GNOME_DESKTOP_SESSION_ID XDG_DATA_DIRS="$share" XDG_DATA_HOME="$work/home" \
    XDG_CONFIG_HOME="$work/home" XDG_CONFIG_DIRS="$work/home" "$@"
}
for file in pokaz.sqx:application/x-lumora-sequence \
  "Pokaz świąteczny.PRJ:application/x-lumora-project" uklad.prj:application/x-lumora-project; do
  type=$(desktop xdg-mime query filetype "$work/${file%%:*}") || type="(failed)"
  [ "$type" = "${file##*:}" ] || fail "xdg-mime says ${file%%:*} is $type"
done
for type in application/x-lumora-sequence application/x-lumora-project; do
  program=$(desktop xdg-mime query default "$type") || program="(failed)"
  [ "$program" = lumora.desktop ] || fail "xdg-mime opens $type with '$program'"
done
appstreamcli validate --no-net \
  "$share/metainfo/io.github.lumora.Lumora.metainfo.xml" || fail "metainfo"
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/lumora" --version) ||
  fail "lumora --version exit code"
[ "$answer" = "lumora $version" ] || fail "lumora --version said '$answer'"
file "$work/root/usr/bin/lumora" | grep -q ', stripped' || fail "binary not stripped"
answer=$("$work/root/usr/bin/lumora-cli" --version) || fail "lumora-cli --version exit code"
[ "$answer" = "lumora-cli $version" ] || fail "lumora-cli --version said '$answer'"
file "$work/root/usr/bin/lumora-cli" | grep -q ', stripped' || fail "lumora-cli not stripped"

lintian --fail-on error --no-tag-display-limit "$deb" || fail "lintian found errors"

[ "$failures" -eq 0 ] && echo "package test passed"
exit $((failures > 0))
