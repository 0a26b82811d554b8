#!/usr/bin/env bash
# The English translation is complete: lupdate, run over the sources into a copy of
# translations/lumora_en.ts, finds no text without a translation (unfinished) and none the
# program no longer shows (obsolete, vanished), and lrelease compiles every entry.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/translations/lumora_en.ts" "$work/lumora_en.ts"
"$root/scripts/update-translations.sh" "$work/lumora_en.ts"
status=0
if grep -n -B3 -E 'type="(unfinished|obsolete|vanished)"' "$work/lumora_en.ts"; then
  echo "translation_test: the entries above are untranslated or no longer used;" \
    "run scripts/update-translations.sh and finish translations/lumora_en.ts" >&2
  status=1
fi
lrelease=/usr/lib/qt6/bin/lrelease
[ -x "$lrelease" ] || lrelease=lrelease
report="$("$lrelease" "$work/lumora_en.ts" -qm "$work/lumora_en.qm")"
echo "$report"
if ! grep -qE '\(([0-9]+) finished and 0 unfinished\)' <<<"$report" || grep -q Ignored <<<"$report"
then
  echo "translation_test: lrelease left entries out" >&2
  status=1
fi
exit $status
