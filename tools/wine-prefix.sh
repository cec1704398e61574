#!/usr/bin/env bash
# Makes a Wine prefix for tests and the demo: fonts copied in (Debian's wineboot leaves the
# Fonts folder empty), no crash dialog, framed windows under a bare X server. Safe to run again.
#   tools/wine-prefix.sh PREFIX
set -euo pipefail
prefix=$(realpath -m "$1")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree=;mshtml="
export LANG=${PIKROTTA_WINE_LANG:-ja_JP.UTF-8}
stamp=$prefix/.pikrotta-ready
[[ -f $stamp ]] && exit 0
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
wineserver -w
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
cp -f /usr/share/wine/fonts/* "$fonts"/ 2>/dev/null || true
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
touch "$stamp"
