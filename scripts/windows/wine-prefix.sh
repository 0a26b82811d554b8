#!/usr/bin/env bash
# Sourced: makes a fresh Wine prefix in the folder given ($1) for running the Windows build's
# programs without a display, and exports WINEPREFIX and WINEDEBUG for them.
export WINEPREFIX=$1/wine-prefix
export WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # No graphics driver: nothing here opens a window.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -w
fi
