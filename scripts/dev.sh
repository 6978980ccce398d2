#!/usr/bin/env bash
# Installs what Zorbin needs on Debian 12, builds it, and then runs it or its tests.
#   scripts/dev.sh run        build (Release) and start Zorbin
#   scripts/dev.sh test       build (Debug, -Werror) and run every test
#   scripts/dev.sh sanitize   build with AddressSanitizer + UBSan and run every test
#   scripts/dev.sh bench [sites...]   build (Release) and run the benchmark (10,000, 100,000
#                            and 1,000,000 sites; the million kept in ~/.cache/zorbin-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}

packages=(cmake make g++ pkg-config libgl-dev qt6-base-dev qt6-base-dev-tools libqt6svg6
          libqt6svg6-dev qt6-translations-l10n libsqlcipher-dev sqlcipher sqlite3 poppler-utils)
command -v npm >/dev/null 2>&1 || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Fonts and icons come from the npm registry, pinned by package-lock.json.
[ -d node_modules/vazirmatn ] && [ -d node_modules/bootstrap-icons ] || npm ci --no-audit --no-fund

jobs=$(nproc)
case "$mode" in
run)
    cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DZORBIN_TESTS=OFF >/dev/null
    cmake --build build-release -j"$jobs"
    exec ./build-release/Zorbin
    ;;
test)
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build -j"$jobs"
    ctest --test-dir build --output-on-failure -j"$jobs"
    ;;
sanitize)
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZORBIN_SANITIZE=ON -DZORBIN_BENCH=OFF >/dev/null
    cmake --build build-asan -j"$jobs"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j"$jobs"
    ;;
bench)
    cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DZORBIN_TESTS=OFF >/dev/null
    cmake --build build-release -j"$jobs"
    ./build-release/zorbin_bench "${@:2}"
    ;;
*)
    echo "usage: $0 run|test|sanitize|bench" >&2
    exit 2
    ;;
esac
