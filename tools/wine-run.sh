#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the prefix named by WINEPREFIX (made by
# tools/wine-prefix.sh). CMake uses it as the emulator of the cross builds. A 32-bit program
# on a host that cannot run one is not started: the reason is printed and the status is 77.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
if [[ -f ${1:-} ]]; then pikrotta_wine_can_run "$1" || exit; fi
: "${WINEPREFIX:?WINEPREFIX names the prefix made by tools/wine-prefix.sh}"
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
# No debugger dialog on a crash, no .NET or Gecko installer prompts.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winedbg.exe=d;mscoree=;mshtml=}
# A Japanese Windows unless the caller asks for another: with LANG unset, C or a locale that is
# not generated, Wine runs as an English Windows.
export LANG=${PIKROTTA_WINE_LANG:-ja_JP.UTF-8}
# One server kept warm for the whole test run; starting one per program costs seconds. It and
# Wine's own services outlive the program that starts them, holding its output open, so a
# caller that reads the output to its end (CTest) would wait for them: they are started here,
# once, detached from it.
if ! pikrotta_wineserver -k0 2>/dev/null; then
  (
    flock 9
    if ! pikrotta_wineserver -k0 2>/dev/null; then
      pikrotta_wineserver -p300 </dev/null >/dev/null 2>&1
      pikrotta_wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    fi
  ) 9>"$WINEPREFIX/.pikrotta-start.lock"
fi
exec "${pikrotta_wine_command[@]}" "$@"
