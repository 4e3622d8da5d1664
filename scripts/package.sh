#!/usr/bin/env bash
# Builds the Debian package of Pellucard: the application and pellucard-cli, the desktop entry,
# the icon as SVG and at the usual PNG sizes, AppStream metadata, the udev rule for the USB
# reader, the help pages, the manual pages of both programs, the copyright file and the Debian
# changelog. The package lands in build/release/package/.
#   sudo apt-get install ./build/release/package/pellucard_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Debian's compiler and linker flags for packages (dpkg-buildflags): optimisation, stack
# protector, fortified functions, format checks, read-only relocations and immediate binding.
# The project is C++ only: CPPFLAGS and CXXFLAGS make its compiler flags, LDFLAGS its linker
# flags. CFLAGS is exported as well, which CMake takes when C is enabled in a new build folder.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
cmake --preset release -DPELLUCARD_PACKAGE=ON -DCMAKE_CXX_FLAGS="${CPPFLAGS} ${CXXFLAGS}" \
    -DCMAKE_EXE_LINKER_FLAGS="${LDFLAGS}" -DCMAKE_SHARED_LINKER_FLAGS="${LDFLAGS}" \
    -DCMAKE_MODULE_LINKER_FLAGS="${LDFLAGS}"
cmake --build --preset release
rm -f build/release/package/pellucard_*.deb
(cd build/release && cpack)
deb=$(ls build/release/package/pellucard_*.deb)
# A package without one of its parts is no package: name what is missing.
contents=$(dpkg-deb --contents "${deb}")
for part in usr/bin/pellucard usr/bin/pellucard-cli \
    usr/share/applications/org.pellucard.Pellucard.desktop \
    usr/share/icons/hicolor/scalable/apps/pellucard.svg \
    usr/share/icons/hicolor/48x48/apps/pellucard.png \
    usr/share/metainfo/org.pellucard.Pellucard.metainfo.xml \
    usr/lib/udev/rules.d/70-pellucard.rules usr/share/man/man1/pellucard.1.gz \
    usr/share/man/man1/pellucard-cli.1.gz usr/share/pellucard/help/Pellucard.html \
    usr/share/doc/pellucard/copyright usr/share/doc/pellucard/changelog.Debian.gz; do
    if ! grep -q "\./${part}\$" <<<"${contents}"; then
        echo "package.sh: ${deb} lacks ${part}" >&2
        exit 1
    fi
done
# What Debian's checks say of the package: no error and no warning (the info lines are shown).
lintian --info --fail-on error,warning "${deb}"
echo "${deb}"
