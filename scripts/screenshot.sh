#!/usr/bin/env bash
# Makes the README's pictures on the demo card under a virtual X server: the main window with the
# SIM card information, and the phone book window with the demo card's phone book read.
#   scripts/screenshot.sh [LANGUAGE] [FILE] [PHONEBOOK_FILE]
# LANGUAGE is the catalogue's language index (0 English ... 4 Greek ... 7 Spanish); FILE defaults
# to docs/main-window.png and PHONEBOOK_FILE to docs/phone-book.png (docs/main-window-LANGUAGE.png
# and docs/phone-book-LANGUAGE.png for another language).
set -euo pipefail
cd "$(dirname "$0")/.."
language=${1:-0}
suffix=""
if [ "$language" != 0 ]; then
    suffix="-${language}"
fi
file=${2:-docs/main-window${suffix}.png}
phonebook=${3:-docs/phone-book${suffix}.png}
# A font with Chinese letters, for the demo card's Chinese name.
scripts/setup.sh xvfb xauth fonts-wqy-microhei
cmake --preset release
cmake --build --preset release --target pellucard
mkdir -p "$(dirname "$file")" "$(dirname "$phonebook")"
# A settings and data folder of their own, so that the pictures show the program as it first
# opens and the user's own settings stay as they are.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
run() {
    XDG_CONFIG_HOME="$home" XDG_DATA_HOME="$home" XDG_RUNTIME_DIR="$home" \
        xvfb-run -a -s "-screen 0 1440x900x24" \
        build/release/src/app/pellucard --demo --language "$language" "$@"
}
run --screenshot "$file"
echo "saved $file"
# The demo card's PIN1 is 1234.
run --read-phonebook 1234 --screenshot "$phonebook"
echo "saved $phonebook"
