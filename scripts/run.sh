#!/usr/bin/env bash
# Builds Pellucard and starts it. `--demo` runs it on the built-in virtual reader with the demo
# card; any other arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset release
cmake --build --preset release
exec build/release/src/app/pellucard "$@"
