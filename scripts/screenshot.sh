#!/usr/bin/env bash
# Makes the README's picture of the main window on the demo card under a virtual X server.
#   scripts/screenshot.sh [LANGUAGE] [FILE]
# LANGUAGE is the catalogue's language index (0 English ... 4 Greek ... 7 Spanish); FILE defaults
# to docs/main-window.png (docs/main-window-LANGUAGE.png for another language).
set -euo pipefail
cd "$(dirname "$0")/.."
language=${1:-0}
file=${2:-docs/main-window.png}
if [ "$language" != 0 ] && [ -z "${2:-}" ]; then
    file="docs/main-window-${language}.png"
fi
scripts/setup.sh xvfb xauth
cmake --preset release
cmake --build --preset release --target pellucard
mkdir -p "$(dirname "$file")"
xvfb-run -a -s "-screen 0 1024x720x24" \
    build/release/src/shell/pellucard --demo --language "$language" --screenshot "$file"
echo "saved $file"
