#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the application's test prefix (made on
# first use): the test command of the Windows build's tests. The Qt given provides the DLLs
# and plugins; QT_* variables reach the program, which Wine passes on only as WINEQT_*; Qt
# Test's output reaches the terminal instead of the debugger.
#   wine-run.sh QT_PREFIX PROGRAM [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/windows/wine-prefix-app.sh
. "$here/wine-prefix-app.sh"
qt=$1
shift
lumora_wine_prefix "$lumora_tests_prefix"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$runtime");$(windows_path /usr/x86_64-w64-mingw32/lib)"
export WINEPATH
WINEQT_PLUGIN_PATH=$(windows_path "$qt/plugins")
# The offscreen platform reads its fonts from a folder, the first face it finds being the
# windows' font; Qt for Windows ships none, so the tests draw with the same face as on Linux.
fonts=$lumora_tests_prefix-fonts
mkdir -p "$fonts"
ln -sf /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$fonts/"
WINEQT_QPA_FONTDIR=$(windows_path "$fonts")
# The style lumora.exe takes, as the windows' tests do on Linux.
export WINEQT_PLUGIN_PATH WINEQT_QPA_FONTDIR WINEQT_STYLE_OVERRIDE=Fusion WINEQT_FORCE_STDERR_LOGGING=1
while IFS='=' read -r name value; do
  export "WINE$name=$value"
done < <(env | grep '^QT_' || true)
exec wine "$@"
