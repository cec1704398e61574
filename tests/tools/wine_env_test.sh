#!/usr/bin/env bash
# How tools/wine-env.sh decides, on any host: the forced 64-bit-only way, and which programs it
# turns away there (by the machine field of their PE header, as the build's programs have).
set -uo pipefail
env_sh=$(cd "$(dirname "$0")/../.." && pwd)/tools/wine-env.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
check() { # name expected-status expected-output-pattern command...
  local name=$1 status=$2 pattern=$3 out rc
  shift 3
  out=$("$@" 2>&1)
  rc=$?
  if [[ $rc == "$status" && $out =~ $pattern ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name: status $rc, output: $out"
  fi
}
# A DOS stub whose e_lfanew (offset 60) points at 64, then "PE\0\0" and the machine field.
pe() { printf 'MZ%58s\x40\x00\x00\x00' '' | tr ' ' '\0' >"$1"; printf "PE\0\0$2" >>"$1"; }
pe "$work/i686.exe" '\x4c\x01'
pe "$work/x64.exe" '\x64\x86'
echo 'not a program' >"$work/text.exe"

no32="^32-bit Windows programs cannot run on this host: the i686 build was made but not tested$"
export PIKROTTA_WINE32=0
check "forced: the host line" 0 "^Wine host: 64-bit Windows programs only \(PIKROTTA_WINE32=0" "$env_sh" --host
check "forced: i686 turned away" 77 "$no32" "$env_sh" --can-run i686
check "forced: x86_64 runs" 0 "^$" "$env_sh" --can-run x86_64
check "forced: a 32-bit program turned away" 77 "$no32" "$env_sh" --can-run "$work/i686.exe"
check "forced: a 64-bit program runs" 0 "^$" "$env_sh" --can-run "$work/x64.exe"
check "forced: not a PE file is left to Wine" 0 "^$" "$env_sh" --can-run "$work/text.exe"
check "forced: the loader is the 64-bit one" 0 "^/usr/lib/wine/wine64 win64$" \
  bash -c 'source "$1"; echo "${pikrotta_wine_command[*]} $WINEARCH"; [[ $WINELOADER == /usr/lib/wine/wine64 ]]' _ "$env_sh"
check "usage" 2 "usage" "$env_sh" --bogus
unset PIKROTTA_WINE32
# Unforced, the answer depends on the host, but it is one of the two kinds, and agrees with
# whether i686 is turned away.
if "$env_sh" --can-run i686 >/dev/null; then
  check "unforced: both kinds" 0 "^Wine host: 32- and 64-bit" "$env_sh" --host
else
  check "unforced: 64-bit only" 0 "^Wine host: 64-bit Windows programs only" "$env_sh" --host
fi
echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
