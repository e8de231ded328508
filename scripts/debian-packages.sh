#!/usr/bin/env bash
# The Debian 12 packages that building, testing and running the programs
# need, one a line. scripts/install-deps.sh installs the missing ones;
# scripts/check-deps.sh checks after a build that nothing the build used is
# left out of this list.
set -euo pipefail
sed -e 's/#.*//' <<'EOF_PACKAGES' | tr -s ' \t' '\n\n' | sed '/^$/d'
# compiler and build tools; mold links the test builds
build-essential cmake ninja-build pkg-config mold
# Qt: widgets (the profile chart is painted with Qt GUI), serial ports
qt6-base-dev qt6-serialport-dev
# Qt SVG: the chart exported as a vector drawing
qt6-svg-dev
# the offscreen and X11 platform plugins the tests and the editor start with
qt6-qpa-plugins
# glyphs of the full-width colon and the Japanese error text
fonts-noto-cjk
# looking at the window: a virtual X server and screenshots
xvfb xauth imagemagick
# the comma-decimal locale the tests switch to
locales
# checking the installed desktop files and the Debian package
desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl lintian
# checking the AppStream metainfo that software centres read
appstream
# the text of exported PDFs, read back by the tests
poppler-utils
# the source layout check (scripts/check-format.sh: clang-format 14 on Debian 12)
clang-format
# a real serial device server (raw TCP and RFC 2217) the network tests start
# in front of the simulator
ser2net
# the fuzz targets: clang (clang-14 on Debian 12, clang-19 on Debian 13) and
# its runtime libraries with libFuzzer and the sanitizers, which clang only
# recommends (libclang-rt-14-dev, libclang-rt-19-dev)
clang libclang-rt-dev
EOF_PACKAGES
