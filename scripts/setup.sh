#!/usr/bin/env bash
# Makes sure the tools the build needs are on this machine. As root it installs
# what is missing with apt-get; otherwise it names the one command to run.
#
#   scripts/setup.sh        everything: the handheld, the tests and the benchmarks
#   scripts/setup.sh main   only what building and running the handheld needs
set -euo pipefail

what=${1:-all}
case "$what" in
  main | all) ;;
  *)
    echo "usage: scripts/setup.sh [main|all]" >&2
    exit 2
    ;;
esac

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v ninja >/dev/null || need+=(ninja-build)
command -v x86_64-w64-mingw32-windres >/dev/null || command -v windres >/dev/null || need+=(binutils-mingw-w64-x86-64)
command -v cpp >/dev/null || need+=(cpp)
[ -e /usr/include/unicode/ucol.h ] || need+=(libicu-dev)
# Simulated threads are fibers switched by Boost.Context.
[ -e /usr/include/boost/context/detail/fcontext.hpp ] || need+=(libboost-context-dev)
# Drawing: FreeType renders the screen's text, libpng writes and reads screens, and
# the text comes from two Japanese fonts at fixed Debian paths (docs/handheld.md).
[ -e /usr/include/freetype2/ft2build.h ] || need+=(libfreetype-dev)
[ -e /usr/include/png.h ] || need+=(libpng-dev)
[ -e /usr/share/fonts/X11/misc/shnmk12.pcf.gz ] || need+=(xfonts-shinonome)
[ -e /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf ] || need+=(fonts-ipafont-gothic)
# `handheld serve`: HTTP through Debian's cpp-httplib.
[ -e /usr/include/httplib.h ] || need+=(libcpp-httplib-dev)
command -v pkg-config >/dev/null || need+=(pkg-config)
if [ "$what" = all ]; then
  [ -e /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
  [ -e /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
  [ -e /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
  # The test of the sources' sizes (tools/check_sizes.py).
  command -v python3 >/dev/null || need+=(python3)
  # The browser tests of the page (tests/browser): Playwright from npm drives
  # Debian's chromium; no browser is downloaded.
  command -v chromium >/dev/null || need+=(chromium)
  command -v npm >/dev/null || need+=(npm)
fi

if [ ${#need[@]} -ne 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "installing: ${need[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2
    apt-get install -y -qq --no-install-recommends "${need[@]}" >&2
  else
    echo "missing packages; run: sudo apt-get install -y ${need[*]}" >&2
    exit 1
  fi
fi

# The browser tests' node packages, exactly as the lock file has them.
if [ "$what" = all ]; then
  browser="$(cd "$(dirname "$0")/.." && pwd)/tests/browser"
  if [ ! -e "$browser/node_modules/.package-lock.json" ] ||
     ! cmp -s "$browser/package-lock.json" "$browser/node_modules/.lock-installed"; then
    (cd "$browser" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund >&2 &&
      cp package-lock.json node_modules/.lock-installed)
  fi
fi
