#!/usr/bin/env bash
# Builds Pellucard with its tests and runs every test.
#   scripts/test.sh              the debug build (build/default)
#   scripts/test.sh --sanitize   the same under AddressSanitizer and UndefinedBehaviorSanitizer,
#                                warnings as errors (build/sanitize)
# Further arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=default
if [ "${1:-}" = "--sanitize" ]; then
    preset=sanitize
    shift
fi
scripts/setup.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" "$@"
