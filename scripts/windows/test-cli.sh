#!/usr/bin/env bash
# lumora-cli.exe under Wine against the Linux build's lumora-cli on the same files: each
# command's exit code, its output files byte for byte and its terminal text (line ends aside,
# which the Windows console writes as CR LF), a controller programmed through the virtual
# adapter included, its report in the language each system names; then Ctrl+C during a
# transfer on each. File names are Polish, so that they reach the program in UTF-16.
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
  # Automatic values no spinner of the window offers, in place of the project's last 21.
  awk '{ for (i = 1; i <= NF; i++) numbers[++n] = $i }
       END { split("-2147483648 2147483647 0 -1 57 100", odd, " ")
             for (i = 1; i <= 6; i++) numbers[n - 21 + i] = odd[i]
             for (i = 1; i <= n; i++) printf "%s ", numbers[i] }' \
    "Pokaz świąteczny.prj" > "dziwny.prj"
  # A programmer not plugged in.
  mkdir "odłączony"
  touch "odłączony/unplug"
done

# Wine names the user's language after the C library's locale, which needs the locale's data:
# made here for the two languages, outside the system's own. Both sides run in Polish unless a
# case says otherwise (Wine would take a C locale for English).
export LOCPATH=$work/locale LANG=pl_PL.UTF-8
mkdir -p "$LOCPATH"
for locale in pl_PL en_US; do
  localedef -i "$locale" -f UTF-8 "$LOCPATH/$locale.UTF-8"
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
run check-odd check "dziwny.prj"
run check-bad check "zły.sqx"
run check-missing check "brak.sqx"
run image image "Pokaz świąteczny.prj" -o "obraz.bin"
run image-hex image "Pokaz świąteczny.prj" --hex
run listing listing "Pokaz świąteczny.prj" -o "listing.asm"
run export export "fala 99.sqx" --project "Pokaz świąteczny.prj" -o "eksport.txt"
run import import "leżący.gif" --mode fala1 -o "z gifa.sqx"
run render render "fala 99.sqx" --scale 2 -o "podgląd.gif"
run import-every import "podgląd.gif" --every 16 -o "co szesnasta.sqx"
# The controller's report in the session's language, read from the system on each side.
run program-usb program "Pokaz świąteczny.prj" --programmer usb --adapter "virtual:sterownik usb"
LANG=en_US.UTF-8 run program-standard program "Pokaz świąteczny.prj" --programmer standard \
  --address 7 --adapter "virtual:sterownik"
run no-programmer program "Pokaz świąteczny.prj" --programmer usb --adapter "virtual:odłączony"
run wrong-adapter program "Pokaz świąteczny.prj" --programmer usb --adapter virtual:
run wrong-option image "Pokaz świąteczny.prj" --no-such-option

# The controller got the whole image in both runs, not just the same failure, and wrote its
# report in each session's language.
for controller in "sterownik usb:Wynik: transmisja kompletna" \
  "sterownik:Outcome: transfer complete"; do
  outcome=${controller#*:}
  controller=${controller%%:*}
  image="$work/windows/Moje dokumenty/$controller/image.bin"
  if [ "$(stat -c %s "$image" 2>/dev/null || echo 0)" -ne 57088 ]; then
    echo "test-cli: no whole image in \"$controller\"" >&2
    failures=$((failures + 1))
  fi
  if ! grep -q "^$outcome" "$work/windows/Moje dokumenty/$controller/report.txt"; then
    echo "test-cli: no \"$outcome\" in the report of \"$controller\"" >&2
    failures=$((failures + 1))
  fi
done

# Ctrl+C in the middle of a USB transfer, sent once a tenth has gone: the transfer stops with
# the shell's code for it and the controller's report says it is incomplete. Wine hands a
# console program's SIGINT to its console handlers as Ctrl+C. How far each side came differs,
# so this is checked on its own instead of compared.
for side in linux windows; do
  (
    cd "$work/$side/Moje dokumenty"
    if [ "$side" = linux ]; then
      exec "$linux" program "Pokaz świąteczny.prj" --programmer usb --adapter virtual:przerwany
    fi
    exec "$here/wine-run.sh" "$qt" "$windows" program "Pokaz świąteczny.prj" --programmer usb \
      --adapter virtual:przerwany
  ) >"$work/$side/interrupted.out" 2>"$work/$side/interrupted.err" &
  pid=$!
  for _ in $(seq 600); do
    grep -q '^10 %' "$work/$side/interrupted.out" && break
    sleep 0.05
  done
  kill -INT "$pid"
  code=0
  wait "$pid" || code=$?
  expected="interrupted by $([ "$side" = linux ] && echo SIGINT || echo Ctrl+C) at "
  if [ "$code" -ne 130 ] || ! tr -d '\r' <"$work/$side/interrupted.err" | grep -q "^$expected" ||
    ! grep -q "^Wynik: transmisja niezakończona" \
      "$work/$side/Moje dokumenty/przerwany/report.txt"; then
    echo "test-cli: Ctrl+C on $side: exit $code, $(cat "$work/$side/interrupted.err")" >&2
    failures=$((failures + 1))
  else
    echo "test-cli: Ctrl+C on $side: stopped (exit 130)"
  fi
done
[ "$failures" -eq 0 ] || { echo "test-cli: $failures case(s) differ" >&2; exit 1; }
echo "test-cli: lumora-cli.exe answers as lumora-cli does"
