#!/usr/bin/env bash
# Takes the pictures of the windows: each test program's screenshot functions, run under
# Xvfb with openbox, write PNGs into the folder given (the build's screenshots/).
#   scripts/screenshots.sh TESTS_BINARY_DIR OUTPUT_DIR
set -euo pipefail
if [ "${1:-}" != --inside ]; then
    mkdir -p "$2"
    exec xvfb-run -a -s "-screen 0 1280x900x24" bash "$0" --inside "$@"
fi
tests=$2
out=$3
openbox >/dev/null 2>&1 &
sleep 1
for program in "$tests"/tst_*; do
    [ -x "$program" ] || continue
    functions=$("$program" -functions | grep -E '^(screenshots|screens)\(\)$' | tr -d '()' || true)
    for f in $functions; do
        ZORBIN_SHOT="$out" "$program" "$f" >/dev/null
    done
done
echo "screenshots in $out"
