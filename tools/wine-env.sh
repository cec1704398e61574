#!/usr/bin/env bash
# The one place that decides how Wine is run here. Sourced by the Wine scripts, which then
# call pikrotta_wine and pikrotta_wineserver; run as a command it answers questions:
#   tools/wine-env.sh --host                    which kind of host this is, in one line
#   tools/wine-env.sh --can-run i686|x86_64|PROGRAM.exe
#                                               status 0 if such programs run here; else the
#                                               reason on standard output and status 77
#
# Debian's wine wrapper takes the 32-bit loader whenever wine32 is installed, also for 64-bit
# programs and wineboot. Some hosts' kernels refuse 32-bit executables ("Exec format error"),
# so there every call through the wrapper fails: there the 64-bit loader is called directly,
# with WINELOADER set, for a 64-bit prefix, and 32-bit programs are not run at all.
# PIKROTTA_WINE32=0 takes that path on any host.

pikrotta_wine_loader32=/usr/lib/wine/wine
pikrotta_wine_loader64=/usr/lib/wine/wine64
pikrotta_wine_no32="32-bit Windows programs cannot run on this host: the i686 build was made but not tested"

# "both": 32- and 64-bit programs through Debian's wrapper, as Wine is meant to run;
# "64": the 64-bit loader alone.
if [[ ${PIKROTTA_WINE32:-} == 0 ]]; then
  pikrotta_wine_mode=64
  pikrotta_wine_why="PIKROTTA_WINE32=0 asks for 64-bit Wine only"
elif "$pikrotta_wine_loader32" --version >/dev/null 2>&1; then
  pikrotta_wine_mode=both
  pikrotta_wine_why="32-bit programs run here"
else
  pikrotta_wine_mode=64
  if [[ -e $pikrotta_wine_loader32 ]]; then
    pikrotta_wine_why="$pikrotta_wine_loader32 does not run: $("$pikrotta_wine_loader32" --version 2>&1 | tail -n 1 | sed 's/.*: //' || true)"
  else
    pikrotta_wine_why="32-bit Wine is not installed"
  fi
fi

if [[ $pikrotta_wine_mode == 64 ]]; then
  export WINELOADER=$pikrotta_wine_loader64 WINEARCH=win64
  pikrotta_wine_command=("$pikrotta_wine_loader64")
else
  pikrotta_wine_command=(wine)
fi
pikrotta_wine() { "${pikrotta_wine_command[@]}" "$@"; }
# Debian's wineserver wrapper takes the 64-bit server where it is installed, on both kinds.
pikrotta_wineserver() { wineserver "$@"; }

pikrotta_wine_host() {
  if [[ $pikrotta_wine_mode == both ]]; then
    echo "Wine host: 32- and 64-bit Windows programs ($pikrotta_wine_why)"
  else
    echo "Wine host: 64-bit Windows programs only ($pikrotta_wine_why)"
  fi
}

# The machine a PE file is built for: i686, x86_64, or nothing when it is not a PE file.
pikrotta_pe_arch() {
  local header offset machine
  header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null) || return 0
  offset=$((header + 4))
  machine=$(od -An -tx2 -j"$offset" -N2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in
    014c) echo i686 ;;
    8664) echo x86_64 ;;
  esac
}

# Status 0 if programs of the architecture (or that program) run here; else the reason, 77.
pikrotta_wine_can_run() {
  local arch=$1
  [[ $arch == *.exe || $arch == *.EXE ]] && arch=$(pikrotta_pe_arch "$arch")
  if [[ $arch == i686 && $pikrotta_wine_mode == 64 ]]; then
    echo "$pikrotta_wine_no32"
    return 77
  fi
  return 0
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  case ${1:-} in
    --host) pikrotta_wine_host ;;
    --can-run) pikrotta_wine_can_run "${2:?--can-run takes an architecture or a program}" ;;
    *)
      echo "usage: $0 --host | --can-run i686|x86_64|PROGRAM.exe" >&2
      exit 2
      ;;
  esac
fi
