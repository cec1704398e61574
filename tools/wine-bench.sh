#!/usr/bin/env bash
# Builds the GDI benchmarks for Windows and runs them under Wine:
#   tools/wine-bench.sh [x86_64|i686] [benchmark options...]
# Google Benchmark comes from Debian's source package (fetched once into build/), since Debian
# ships it built for Linux only.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:-x86_64}
shift || true
src=build/benchmark-source
if [[ ! -f $src/CMakeLists.txt ]]; then
  if ! apt-get source --help >/dev/null 2>&1 || ! grep -rqs '^Types: deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d; then
    echo "wine-bench: needs deb-src entries for Debian to fetch Google Benchmark's sources" >&2
    exit 1
  fi
  rm -rf build/benchmark-fetch && mkdir -p build/benchmark-fetch
  (cd build/benchmark-fetch && apt-get source --download-only benchmark >/dev/null 2>&1)
  mkdir -p "$src"
  tar -xzf build/benchmark-fetch/benchmark_*.orig.tar.gz -C "$src" --strip-components=1
fi
preset=mingw-$arch
cmake --preset "$preset" -DPIKROTTA_BUILD_BENCH=ON -DPIKROTTA_BENCHMARK_SOURCE="$PWD/$src" >/dev/null
cmake --build --preset "$preset" --target pikrotta_gdi_bench wine_prefix
WINEPREFIX=$PWD/build/$preset/wineprefix tools/wine-run.sh "build/$preset/bench/pikrotta_gdi_bench.exe" "$@"
