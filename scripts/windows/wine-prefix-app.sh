# shellcheck shell=bash
# Sourced by the Windows scripts of the application: lumora_wine_prefix PATH makes PATH a Wine
# prefix once, and points Wine at it, quietly and with nothing of it reaching the desktop of
# the machine: no menu entries, no offer to install Mono or Gecko.

# The prefix the build's tests run in.
# shellcheck disable=SC2034 # used by the scripts that source this file
lumora_tests_prefix=${XDG_CACHE_HOME:-$HOME/.cache}/lumora/wine-app

lumora_wine_prefix() {
  export WINEPREFIX=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    # Parallel tests share the prefix: the first makes it, the others wait.
    flock 9
    if [ ! -f "$WINEPREFIX/lumora-ready" ]; then
      rm -rf "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1
      # Wine draws the windows' frames itself, so that a window's picture shows them even on
      # a display without a window manager.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/lumora-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}
