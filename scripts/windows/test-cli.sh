#!/usr/bin/env bash
# lumora-cli.exe under Wine against the Linux build's lumora-cli on the same files: each
# command's exit code, its output files byte for byte and its terminal text (line ends aside,
# which the Windows console writes as CR LF), a controller programmed through the virtual
# adapter included. File names are Polish, so that they reach the program in UTF-16.
#   test-cli.sh LINUX_CLI WINDOWS_CLI QT_PREFIX
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: test-cli.sh LINUX_CLI WINDOWS_CLI QT_PREFIX" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
linux=$(realpath "$1")
windows=$(realpath "$2")
qt=$(realpath "$3")
corpus=$root/fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Both builds run in folders of their own holding the same inputs, named by relative paths.
for side in linux windows; do
  mkdir -p "$work/$side/Moje dokumenty"
  cd "$work/$side/Moje dokumenty"
  cp "$corpus/project/two_programs.prj" "Pokaz świąteczny.prj"
  cp "$corpus/project/fresh.prj" "pusty.prj"
  cp "$corpus/table/one_per_line.tab" str.tab
  cp "$corpus/sequence/ninety_nine.sqx" "fala 99.sqx"
  cp "$corpus/gif/lying_8x16.gif" "leżący.gif"
  printf '1 128 9 128' > "zły.sqx"
done

failures=0
# run NAME ARGUMENTS...: the command on both sides, compared.
run() {
  local name=$1
  shift
  local linux_code=0 windows_code=0
  (cd "$work/linux/Moje dokumenty" && "$linux" "$@" >"../$name.out" 2>"../$name.err") ||
    linux_code=$?
  (cd "$work/windows/Moje dokumenty" &&
    "$here/wine-run.sh" "$qt" "$windows" "$@" >"../$name.out" 2>"../$name.err") ||
    windows_code=$?
  local problem=""
  [ "$linux_code" -eq "$windows_code" ] ||
    problem="exit code $linux_code on Linux, $windows_code on Windows"
  for stream in out err; do
    if ! cmp -s "$work/linux/$name.$stream" <(tr -d '\r' <"$work/windows/$name.$stream"); then
      problem+=" std$stream differs"
    fi
  done
  if ! diff -r "$work/linux/Moje dokumenty" "$work/windows/Moje dokumenty" >/dev/null; then
    problem+=" files differ"
  fi
  if [ -n "$problem" ]; then
    echo "test-cli: $name:$problem" >&2
    diff -r "$work/linux" "$work/windows" | head -20 >&2 || true
    failures=$((failures + 1))
  else
    echo "test-cli: $name: same on both (exit $linux_code)"
  fi
}

run check-all check "Pokaz świąteczny.prj" "pusty.prj" str.tab "fala 99.sqx"
run check-bad check "zły.sqx"
run check-missing check "brak.sqx"
run image image "Pokaz świąteczny.prj" -o "obraz.bin"
run image-hex image "Pokaz świąteczny.prj" --hex
run listing listing "Pokaz świąteczny.prj" -o "listing.asm"
run export export "fala 99.sqx" --project "Pokaz świąteczny.prj" -o "eksport.txt"
run import import "leżący.gif" --mode fala1 -o "z gifa.sqx"
run render render "fala 99.sqx" --scale 2 -o "podgląd.gif"
run program-usb program "Pokaz świąteczny.prj" --programmer usb --adapter "virtual:sterownik usb"
run program-standard program "Pokaz świąteczny.prj" --programmer standard --address 7 \
  --adapter "virtual:sterownik"
run wrong-option image "Pokaz świąteczny.prj" --no-such-option

# The controller got the whole image in both runs, not just the same failure.
for controller in "sterownik usb" sterownik; do
  image="$work/windows/Moje dokumenty/$controller/image.bin"
  if [ "$(stat -c %s "$image" 2>/dev/null || echo 0)" -ne 57088 ]; then
    echo "test-cli: no whole image in \"$controller\"" >&2
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || { echo "test-cli: $failures case(s) differ" >&2; exit 1; }
echo "test-cli: lumora-cli.exe answers as lumora-cli does"
