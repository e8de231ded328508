#!/usr/bin/env bash
# scripts/package.sh <build-dir>: makes the Debian package of a build
# (vantrel-assistant_<version>_amd64.deb in that folder) and checks it with
# lintian; an error or a warning fails.
set -euo pipefail
build="$(cd "$1" && pwd)"
log="$(cd "$build" && cpack -G DEB 2>&1)" || { echo "$log"; exit 1; }
deb="$(ls "$build"/vantrel-assistant_*_amd64.deb)"
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2)
echo "package: $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /'
