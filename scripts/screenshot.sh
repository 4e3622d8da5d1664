#!/usr/bin/env bash
# Makes the README's pictures on the demo card under a virtual X server of a common laptop's size
# (1280x800): the main window with the SIM card information, the phone book window with the demo
# card's phone book read, the SMS window with its messages read, and the phone book window with
# the demo card made a USIM (its USIM phone book's second numbers, e-mails, second names, groups).
#   scripts/screenshot.sh [LANGUAGE] [FILE] [PHONEBOOK_FILE] [SMS_FILE] [USIM_FILE]
# LANGUAGE is the catalogue's language index (0 English ... 4 Greek ... 7 Spanish); FILE defaults
# to docs/main-window.png, PHONEBOOK_FILE to docs/phone-book.png, SMS_FILE to docs/sms.png and
# USIM_FILE to docs/phone-book-usim.png (docs/main-window-LANGUAGE.png and so on for another
# language).
set -euo pipefail
cd "$(dirname "$0")/.."
language=${1:-0}
suffix=""
if [ "$language" != 0 ]; then
    suffix="-${language}"
fi
file=${2:-docs/main-window${suffix}.png}
phonebook=${3:-docs/phone-book${suffix}.png}
sms=${4:-docs/sms${suffix}.png}
usim=${5:-docs/phone-book-usim${suffix}.png}
# A font with Chinese letters, for the demo card's Chinese name.
scripts/setup.sh xvfb xauth fonts-wqy-microhei
cmake --preset release
cmake --build --preset release --target pellucard
mkdir -p "$(dirname "$file")" "$(dirname "$phonebook")" "$(dirname "$sms")" "$(dirname "$usim")"
# A settings and data folder of their own, so that the pictures show the program as it first
# opens and the user's own settings stay as they are.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# The demo card in the virtual USB reader, or (--demo-usim first) made a USIM.
run() {
    local demo=--demo
    if [ "${1:-}" = --demo-usim ]; then
        demo=$1
        shift
    fi
    XDG_CONFIG_HOME="$home" XDG_DATA_HOME="$home" XDG_RUNTIME_DIR="$home" \
        xvfb-run -a -s "-screen 0 1280x800x24" \
        build/release/src/app/pellucard "$demo" --language "$language" "$@"
}
run --screenshot "$file"
echo "saved $file"
# The demo card's PIN1 is 1234.
run --read-phonebook 1234 --screenshot "$phonebook"
echo "saved $phonebook"
run --read-sms 1234 --screenshot "$sms"
echo "saved $sms"
run --demo-usim --read-phonebook 1234 --screenshot "$usim"
echo "saved $usim"
