#!/usr/bin/env bash
# Installs the Debian packages Pellucard needs to build and test, when they are missing.
# Further packages can be named as arguments.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git python3
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libhidapi-dev libpcsclite-dev pcscd vsmartcard-vpcd
    googletest libgtest-dev
    poppler-utils ccache
    dpkg-dev help2man librsvg2-bin appstream lintian
)

packages+=("$@")

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
