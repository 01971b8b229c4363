#!/usr/bin/env bash
# Configures and builds one build tree.
#   scripts/build.sh            the player, its tools and tests in build/
#   scripts/build.sh asan       clang with AddressSanitizer, UBSan and the fuzz targets in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-release}" in
  release)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build
    ;;
  asan)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DVP_SANITIZE=ON -DVP_FUZZ=ON >/dev/null
    cmake --build build-asan
    ;;
  *)
    echo "usage: scripts/build.sh [release|asan]" >&2
    exit 2
    ;;
esac
