#!/usr/bin/env bash
# Cross-builds Lumora for 64-bit Windows with MinGW-w64 and Qt built for Windows (the first
# time, scripts/windows/build-deps.sh builds that Qt), into build/windows; gathers the
# runnable folder out/windows/Lumora (lumora.exe, lumora-cli.exe and every DLL and plugin
# they load) and packs it as out/windows/lumora-VERSION-setup-x64.exe and
# out/windows/lumora-VERSION-x64.zip. Prints the installer's path on its last line.
#   build-windows.sh [TARGET...]   also builds these targets of build/windows
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh g++-mingw-w64-x86-64-posix icoutils wine wine64 fonts-wine \
  qt6-translations-l10n >&2
cache=$(scripts/windows/build-deps.sh | tail -n1)
export LUMORA_WINDOWS_PREFIXES="$cache/qt;$cache/gtest;$cache/giflib"

# Qt's own code generators (moc, rcc, uic) are the machine's; the tests run under Wine.
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMORA_WITH_QT=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/windows/wine-run.sh;$cache/qt" >&2
# The tests' prefix, made before a build step runs a test program: the first time takes a while.
# shellcheck source=scripts/windows/wine-prefix-app.sh
. scripts/windows/wine-prefix-app.sh
lumora_wine_prefix "$lumora_tests_prefix"
cmake --build build/windows --target lumora lumora-cli "$@" >&2

folder=out/windows/Lumora
rm -rf "$folder"
mkdir -p "$folder/platforms" "$folder/styles" "$folder/translations"
cp build/windows/src/app/lumora.exe build/windows/src/cli/lumora-cli.exe "$folder/"
# Qt's own texts in Polish, for its dialogs and buttons: the file Debian builds from its
# qt6-translations source for the same Qt 6.4.2, the same on every system.
cp /usr/share/qt6/translations/qtbase_pl.qm "$folder/translations/"
cp "$cache/qt/plugins/platforms/qwindows.dll" "$folder/platforms/"
# Qt's native look for Windows' own controls.
cp "$cache/qt/plugins/styles/"*.dll "$folder/styles/"

# Every DLL the folder's programs and plugins load that is not Windows' own: Qt's and the
# MinGW runtime's, found by their imports until none is missing.
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
sources=("$cache/qt/bin" "$runtime" /usr/x86_64-w64-mingw32/lib)
while :; do
  added=0
  while read -r dll; do
    [ -e "$folder/$dll" ] && continue
    for source in "${sources[@]}"; do
      if [ -f "$source/$dll" ]; then
        cp "$source/$dll" "$folder/"
        added=1
        break
      fi
    done
  done < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-objdump -p {} + |
    sed -n 's/^\s*DLL Name: //p' | sort -u)
  [ "$added" -eq 1 ] || break
done
find "$folder" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
scripts/windows/package.sh "$folder" build/windows/lumora.ico "$version" out/windows >&2
echo "$root/out/windows/lumora-$version-setup-x64.exe"
