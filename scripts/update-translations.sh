#!/usr/bin/env bash
# Brings the English translation (translations/lumora_en.ts, or the .ts file named) up to date
# with the texts of the windows and the texts the logic marks with LUMORA_TR_NOOP: new texts
# come in unfinished, texts no longer used are kept as vanished. The build never runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
ts="${1:-translations/lumora_en.ts}"
lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || lupdate=lupdate
"$lupdate" -silent -locations none -source-language pl_PL -target-language en \
  -tr-function-alias QT_TRANSLATE_NOOP+=LUMORA_TR_NOOP -extensions cpp,h src -ts "$ts"
