#!/usr/bin/env bash
# Builds the Debian package from a Release build into a temporary folder and checks it: the
# files it installs, its dependencies, the menu entry, the AppStream metadata, the program's
# answer to --version, and that lintian finds no error.
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
  /usr/share/applications/lumora.desktop \
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
for library in libftdi1 libgif7 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
  grep -q "\b$library" <<<"$depends" || fail "Depends has no $library"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/lumora.desktop" || fail "desktop entry"
appstreamcli validate --no-net \
  "$work/root/usr/share/metainfo/io.github.lumora.Lumora.metainfo.xml" || fail "metainfo"
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
