# Sourced by the test and demo scripts: a throwaway Wine prefix and, without a
# display, a private Xvfb. Everything started here is ended by its process id
# (or its own prefix's wineserver) in wine_env_stop.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8

# Which Wine loader runs the Windows programs here. Wine's 32-bit loader needs
# a kernel that runs 32-bit Linux programs; where it cannot, the tests run the
# x86_64 build of the same tree under the 64-bit loader in a win64 prefix.
# ILVO_WINE_ARCH=win32|win64 forces either path.
wine_env_choose_arch() {
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then ILVO_MACHINE_RUNS_32BIT=yes; else ILVO_MACHINE_RUNS_32BIT=no; fi
  export ILVO_MACHINE_RUNS_32BIT
  case "${ILVO_WINE_ARCH:-}" in
    win64) ILVO_WINE_ARCH_WHY="forced by ILVO_WINE_ARCH" ;;
    win32)
      if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
        echo "ILVO_WINE_ARCH=win32, but this machine cannot run 32-bit programs (/lib/ld-linux.so.2 --version fails)" >&2
        return 1
      fi
      ILVO_WINE_ARCH_WHY="forced by ILVO_WINE_ARCH" ;;
    "")
      if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
        ILVO_WINE_ARCH=win32
        ILVO_WINE_ARCH_WHY="this machine runs 32-bit programs (/lib/ld-linux.so.2 --version works)"
      else
        ILVO_WINE_ARCH=win64
        ILVO_WINE_ARCH_WHY="this machine cannot run 32-bit programs (/lib/ld-linux.so.2 --version fails)"
      fi ;;
    *) echo "ILVO_WINE_ARCH must be win32 or win64, not '$ILVO_WINE_ARCH'" >&2; return 1 ;;
  esac
  export ILVO_WINE_ARCH WINEARCH="$ILVO_WINE_ARCH"
  if [ "$ILVO_WINE_ARCH" = win64 ]; then ILVO_WINE=/usr/lib/wine/wine64; else ILVO_WINE=wine; fi
  export ILVO_WINE
  echo "Windows path: $ILVO_WINE_ARCH under $ILVO_WINE, $ILVO_WINE_ARCH_WHY"
}
wine_env_choose_arch

WINE_ENV_XVFB_PID=""

wine_env_start() {  # $1: prefix folder
  export WINEPREFIX="$1"
  if [ -z "${DISPLAY:-}" ] || [ -n "${ILVO_OWN_DISPLAY:-}" ]; then
    # Xvfb takes the first free display itself and names it, so runs side
    # by side never share one.
    local named n=""
    named="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$named" >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    for _ in $(seq 1 100); do
      n="$(tr -dc 0-9 <"$named")"
      [ -n "$n" ] && break
      sleep 0.1
    done
    rm -f "$named"
    if [ -z "$n" ]; then echo "Xvfb did not start" >&2; return 1; fi
    export DISPLAY=":$n"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    wine_env_new_prefix
  else
    wineserver -p
  fi
  # Start the prefix's background services now, detached from our output:
  # started by the first test instead, they would hold its pipe open.
  if ! "$ILVO_WINE" cmd /c exit >/dev/null 2>&1 </dev/null; then
    # A prefix whose making was cut short (a kept one, say the demo's) cannot
    # start a program: it is made again, once.
    echo "The Wine prefix $WINEPREFIX cannot start a program; making it again" >&2
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    wine_env_new_prefix
    "$ILVO_WINE" cmd /c exit >/dev/null 2>&1 </dev/null
  fi
}

# Makes a new prefix in $WINEPREFIX, its server left running.
wine_env_new_prefix() {
  mkdir -p "$WINEPREFIX"
  wineserver -p
  "$ILVO_WINE" wineboot -i >/dev/null 2>&1
  # Without a window manager Wine waits for one when a window closes.
  "$ILVO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # Message boxes and windows drawn the same on every run.
  "$ILVO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  # A program that crashes ends with a backtrace on its error output instead
  # of a crash dialog that waits for a click until the test's time runs out.
  "$ILVO_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

# Maps a drive letter of the prefix to a folder: wine_env_map_drive y /path
wine_env_map_drive() {
  mkdir -p "$2"
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$1:"
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$WINE_ENV_XVFB_PID" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    WINE_ENV_XVFB_PID=""
  fi
}
