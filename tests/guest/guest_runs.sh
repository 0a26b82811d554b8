# The emulated-chip guest's side of a test, run by the guest's /init in the host's tree: works
# through OUT/plan, one line a run, and tells the host on the console ("lumora-guest: ...")
# when to plug the chip in and out. Each run's output goes to OUT/NAME.out and OUT/NAME.err.
#   build BUILD                       the build tree whose programs run
#   cli NAME USER ADAPTER ARGS...     lumora-cli program show.prj ARGS --adapter ADAPTER as USER
#   window NAME                       the real lumora worked by its window driver
#   guest_runs.sh OUT
out=$1
say() { echo "lumora-guest: $*"; }

chip_present() { grep -qsx 0403 /sys/bus/usb/devices/*/idVendor; }

# Waits up to 30 s for the chip (and the device node a tty adapter names) to come or go.
wait_chip() {
  tries=600
  while [ $tries -gt 0 ]; do
    if [ "$1" = in ] && chip_present && { [ -z "$2" ] || [ -e "$2" ]; }; then return 0; fi
    if [ "$1" = out ] && ! chip_present; then return 0; fi
    sleep 0.05
    tries=$((tries - 1))
  done
  say "the chip did not come $1"
  return 1
}

# Whether the kernel's serial driver has the chip: its device node comes within 5 s.
tty_back() {
  tries=100
  while [ $tries -gt 0 ]; do
    if ls /dev/ttyUSB* >/dev/null 2>&1; then return 0; fi
    sleep 0.05
    tries=$((tries - 1))
  done
  return 1
}

as_user() {
  user=$1
  shift
  if [ "$user" = root ]; then "$@"; else setpriv --reuid="$user" --regid=nogroup --clear-groups "$@"; fi
}

cd "$out" || exit 1
mkdir -p -m 0700 /run/user
export XDG_RUNTIME_DIR=/run/user
while read -r kind name rest; do
  case $kind in
    build)
      build=$name
      ;;
    cli)
      set -- $rest
      user=$1
      adapter=$2
      shift 2
      node=
      case $adapter in tty:*) node=${adapter#tty:} ;; esac
      say "plug $name"
      wait_chip in "$node"
      say "start $name"
      as_user "$user" "$build/src/cli/lumora-cli" program show.prj --table str.tab "$@" \
        --adapter "$adapter" </dev/null >"$name.out" 2>"$name.err"
      say "ended $name $?"
      # libftdi hands a chip it took from the kernel's serial driver back when it closes it.
      if chip_present; then
        if tty_back; then say "ttyUSB $name back"; else say "ttyUSB $name missing"; fi
      fi
      say "unplug $name"
      wait_chip out
      ;;
    window)
      say "plug $name"
      wait_chip in
      # Its driver tells the host the rest.
      QT_QPA_PLATFORM=offscreen LUMORA_ADAPTER=usb QT_PLUGIN_PATH="$build/tests/guest/plugins" \
        "$build/src/app/lumora" -plugin "lumorawindowdriver:$out" </dev/null >"$name.out"
      say "ended $name $?"
      ;;
  esac
done <plan
