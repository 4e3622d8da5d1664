#!/usr/bin/env bash
# Builds Pellucard and starts it. `--demo` runs it on the built-in virtual reader with the demo
# card; any other arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset release
cmake --build --preset release
if [ -x build/release/src/shell/pellucard ]; then
    exec build/release/src/shell/pellucard "$@"
fi
# Until the windows are built, show the card through the command line tool.
reader=(--reader hid)
[ "${1:-}" = "--demo" ] && reader=(--reader virtual)
exec build/release/src/cli/pellucard-cli "${reader[@]}" info
