#!/usr/bin/env bash
# Makes a Wine prefix for tests and the demo: fonts copied in (Debian's wineboot leaves the
# Fonts folder empty), no crash dialog, framed windows under a bare X server. Safe to run again;
# a prefix made for the other kind of Wine host (see tools/wine-env.sh) is made anew.
#   tools/wine-prefix.sh PREFIX
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
prefix=$(realpath -m "$1")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree=;mshtml="
export LANG=${PIKROTTA_WINE_LANG:-ja_JP.UTF-8}
stamp=$prefix/.pikrotta-ready
# One making at a time per prefix: another run's making in progress is not "cut short".
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[[ -f $stamp && $(cat "$stamp") == "$pikrotta_wine_mode" ]] && exit 0
if [[ -e $prefix ]]; then
  # Not stamped: a making that failed or was cut short, which wineboot does not mend.
  why="was not made to its end"
  [[ -f $stamp ]] && why="was made for another kind of Wine host"
  echo "wine-prefix: $prefix $why; making it anew" >&2
  pikrotta_wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
fi
mkdir -p "$prefix"
log=$prefix/.pikrotta-wineboot.log

# Wine's own words and what we found, when a step fails.
fail() {
  echo "wine-prefix: $1 failed for $prefix" >&2
  pikrotta_wine_host >&2
  command -v wineserver >/dev/null || echo "wine-prefix: Wine is not installed: run tools/install-deps.sh" >&2
  echo "wine-prefix: Wine said:" >&2
  sed 's/^/  /' "$log" >&2
  exit 1
}
{ pikrotta_wine wineboot -i && pikrotta_wineserver -w; } >"$log" 2>&1 || fail wineboot
[[ -f $prefix/system.reg ]] || fail "wineboot (no registry written)"

fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
cp -f /usr/share/wine/fonts/* "$fonts"/ 2>/dev/null || true
{
  pikrotta_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
    pikrotta_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f &&
    pikrotta_wineserver -w
} >"$log" 2>&1 || fail "reg add"
echo "$pikrotta_wine_mode" >"$stamp"
