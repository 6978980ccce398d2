#!/usr/bin/env bash
# Installs what Zorbin needs on Debian 12, builds it, and then runs it or its tests.
#   scripts/dev.sh run        build (Release) and start Zorbin
#   scripts/dev.sh test       build (Debug, -Werror) and run every test
#   scripts/dev.sh sanitize   build with AddressSanitizer + UBSan and run every test
#   scripts/dev.sh bench [sites...]   build (Release) and run the benchmark (10,000, 100,000
#                            and 1,000,000 sites; the million kept in ~/.cache/zorbin-bench)
#   scripts/dev.sh fuzz [s]   build the Access reader's libFuzzer harness (clang) and run it
#                             for s seconds (default 300) on the Access test files
#   scripts/dev.sh shots      build the tests with their screenshot functions and take the
#                             pictures of the windows under Xvfb (build-shots/screenshots/)
#   scripts/dev.sh package    build (Release) and make the Debian package in build-release/
#   scripts/dev.sh package-check  the package, unpacked into a scratch root and checked there
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}

packages=(cmake make g++ pkg-config libgl-dev qt6-base-dev qt6-base-dev-tools libqt6svg6
          libqt6svg6-dev qt6-translations-l10n libsqlcipher-dev sqlcipher sqlite3 poppler-utils
          mdbtools-dev libcsv-dev libzxcvbn-dev libharfbuzz-dev libfribidi-dev)
command -v npm >/dev/null 2>&1 || packages+=(npm)
case "$mode" in
package*) packages+=(dpkg-dev file desktop-file-utils appstream) ;;
shots) packages+=(xvfb openbox imagemagick) ;;
esac
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
    ./build-release/zorbin_bench_convert
    ;;
fuzz)
    for p in clang libclang-rt-14-dev; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' ||
            { apt-get update -qq && apt-get install -y -qq --no-install-recommends "$p"; }
    done
    cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DZORBIN_FUZZ=ON -DZORBIN_TESTS=OFF -DZORBIN_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j"$jobs" --target fuzz_jetsource
    mkdir -p build-fuzz/corpus build-fuzz/artifacts
    ./build-fuzz/fuzz_jetsource -close_fd_mask=2 -max_total_time="${2:-300}" -rss_limit_mb=2048 \
        -artifact_prefix=build-fuzz/artifacts/ build-fuzz/corpus tests/data/jet
    ;;
shots)
    cmake -S . -B build-shots -DCMAKE_BUILD_TYPE=Debug -DZORBIN_SCREENSHOTS=ON -DZORBIN_BENCH=OFF >/dev/null
    cmake --build build-shots -j"$jobs" --target screenshots
    ;;
package | package-check)
    cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DZORBIN_TESTS=OFF -DZORBIN_BENCH=OFF >/dev/null
    cmake --build build-release -j"$jobs"
    rm -f build-release/zorbin_*.deb
    (cd build-release && cpack -G DEB >/dev/null)
    deb=$(ls build-release/zorbin_*.deb)
    echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
    [ "$mode" = package ] && exit 0
    bash packaging/check-package.sh "$deb"
    ;;
*)
    echo "usage: $0 run|test|sanitize|bench|fuzz|shots|package|package-check" >&2
    exit 2
    ;;
esac
