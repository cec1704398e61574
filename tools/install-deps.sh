#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages. Safe to run again.
#   native build and tests: compilers, CMake, GoogleTest, Google Benchmark, CLI11, JSON, stb
#   (header-only, so it serves the Windows builds too);
#   the report's browser test: Chromium and the IPA Gothic font;
#   the Windows builds: mingw-w64 for 32 and 64 bits, and Wine (32-bit Wine needs the i386
#   architecture) with Xvfb to run them, ImageMagick for screenshots, and a generated
#   ja_JP.UTF-8 locale, without which Wine runs as an English Windows and Japanese file names
#   turn into garbage.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev googletest
          libbenchmark-dev nlohmann-json3-dev libcli11-dev libstb-dev python3
          chromium fonts-ipafont-gothic
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386 fonts-wine
          locales xvfb xauth imagemagick unzip)
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  # A mirror in the middle of a sync fails one index now and then; try again, and let the
  # install itself decide whether what was fetched is enough.
  for attempt in 1 2 3; do
    "${sudo_cmd[@]}" apt-get update -qq && break
    echo "apt-get update failed (attempt $attempt); retrying" >&2
    sleep $((attempt * 10))
  done
  if ! "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    # The i386 side of a mirror can lag behind the amd64 side (a security index fetched
    # half-synced), and 32-bit Wine cannot be installed then. Such a host is treated as one
    # that refuses 32-bit programs: the i686 build is made, its tests are skipped.
    rest=()
    for p in "${missing[@]}"; do [[ $p == *:i386 ]] || rest+=("$p"); done
    ((${#rest[@]} < ${#missing[@]})) || exit 1
    echo "installing without the i386 packages; 32-bit Windows programs will not be run" >&2
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${rest[@]}"
  fi
fi

if ! locale -a | grep -qix 'ja_JP.utf8'; then
  "${sudo_cmd[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
