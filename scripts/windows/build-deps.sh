#!/usr/bin/env bash
# Builds what the Windows build links and Debian packages only for Linux: Qt's qtbase (from
# Debian's own qt6-base source package), giflib (from Debian's giflib source package) and
# GoogleTest (from /usr/src/googletest), cross-compiled with MinGW-w64 and installed into a
# cache outside the checkout, keyed by a hash of this recipe, so that a machine builds them
# once. A copy packed as lumora-windows-KEY.tar.xz in ../shared/cache is taken instead when
# there is one. Prints the cache folder on its last line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
"$root/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  mingw-w64-tools binutils-mingw-w64-x86-64 dpkg-dev xz-utils >&2

toolchain=$root/cmake/mingw-w64-x86_64.cmake
key=$(cat "$here/build-deps.sh" "$toolchain" | sha256sum | cut -c1-16)
caches=${XDG_CACHE_HOME:-$HOME/.cache}/lumora
cache=$caches/windows-$key
if [ -f "$cache/complete" ]; then
  echo "$cache"
  exit 0
fi
packed=$root/../shared/cache/lumora-windows-$key.tar.xz
if [ -f "$packed" ]; then
  mkdir -p "$caches"
  tar -xJf "$packed" -C "$caches"
  [ -f "$cache/complete" ] && { echo "$cache"; exit 0; }
fi

work=$caches/work-$key
rm -rf "$cache" "$work"
mkdir -p "$cache" "$work"

# Source packages: a deb-src entry with the same archives as the machine's own Debian entry.
if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
    $sudo tee /etc/apt/sources.list.d/lumora-deb-src.sources >/dev/null
  $sudo apt-get update -qq
fi
(cd "$work" && apt-get source -qq qt6-base giflib >&2)

# giflib: the library's own sources into a static library.
gifsrc=$(find "$work" -maxdepth 1 -type d -name 'giflib-*' | head -n1)
(
  cd "$gifsrc"
  mkdir -p "$cache/giflib/include" "$cache/giflib/lib"
  for c in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
    x86_64-w64-mingw32-gcc-posix -O2 -c "$c.c" -o "$work/$c.o"
  done
  x86_64-w64-mingw32-ar rcs "$cache/giflib/lib/libgif.a" "$work"/*.o
  cp gif_lib.h "$cache/giflib/include/"
) >&2

# GoogleTest and GoogleMock from the sources Debian ships.
cmake -S /usr/src/googletest -B "$work/gtest-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$cache/gtest" \
  -Dgtest_disable_pthreads=OFF >&2
cmake --build "$work/gtest-build" >&2
cmake --install "$work/gtest-build" >&2

# qtbase: Core, Gui, Widgets, Test and the windows and offscreen platform plugins. The dfsg
# source has no wintab header, hence no tablet events; Direct2D off takes DirectWrite 3 with it,
# whose font database is built only beside the Direct2D plugin.
qtsrc=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
(
  mkdir -p "$work/qt-build" && cd "$work/qt-build"
  "$qtsrc/configure" -prefix "$cache/qt" -xplatform win32-g++ -qt-host-path /usr -release \
    -shared -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -no-pkg-config \
    -no-libjpeg -no-gif -qt-zlib -qt-pcre -qt-libpng -qt-harfbuzz -qt-freetype \
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
    -no-feature-printsupport -no-feature-vulkan -no-feature-tabletevent \
    -no-feature-androiddeployqt -no-feature-direct2d -no-feature-directwrite3 \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  cmake --build . --parallel
  cmake --install .
) >&2

rm -rf "$work"
touch "$cache/complete"
echo "$cache"
