#!/usr/bin/env bash
# Installs the build and test dependencies on Debian, then builds and runs the
# whole suite twice: a release build with g++, and a clang build with
# AddressSanitizer, UndefinedBehaviorSanitizer and the libFuzzer targets.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then sudo=; else sudo=sudo; fi
$sudo apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    $(grep -v '^#' scripts/debian-packages.txt)

jobs=$(nproc)

cmake -S . -B build/release -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
    -DPROJECT_WERROR=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/sanitize -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DPROJECT_WERROR=ON -DPROJECT_SANITIZE=ON -DPROJECT_FUZZ=ON -DPROJECT_BENCH=OFF
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
