#!/usr/bin/env bash
# test_install.sh <build-dir> <example.tpd>: installs the build into a
# temporary prefix and checks that the desktop finds what it looks for: the
# programs, the launcher (valid, opening a file), the AppStream metainfo
# (valid: an error or a warning fails), the icon at every size, the manual
# pages, the manual, and the .tpd file type by name and by content.
set -euo pipefail
build="$1"
example="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/vantrel-assistant bin/vantrel-controller-sim bin/vantrel \
         share/applications/vantrel-assistant.desktop \
         share/mime/packages/vantrel-assistant.xml \
         share/metainfo/invalid.example.vantrel_assistant.metainfo.xml \
         share/icons/hicolor/scalable/apps/vantrel-assistant.svg \
         share/man/man1/vantrel-assistant.1.gz share/man/man1/vantrel-controller-sim.1.gz share/man/man1/vantrel.1.gz \
         share/doc/vantrel-assistant/copyright share/doc/vantrel-assistant/changelog.gz \
         share/vantrel-assistant/manual.md; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/vantrel-assistant.png"
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  file -b "$png" | grep -q "PNG image data, $size x $size" || fail "${size}x${size} icon is $(file -b "$png")"
done
[ -x "$prefix/bin/vantrel-assistant" ] || fail "vantrel-assistant is not executable"
# The command-line tool runs without a display and reads the example.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/vantrel" check "$example" | grep -q ': ok (' \
  || fail "vantrel check does not take the example"
# The manual is found beside the installed programs, and from the build tree.
real_prefix="$(cd "$prefix" && pwd -P)"
real_build="$(cd "$build" && pwd -P)"
grep -q '^## Using the editor' "$prefix/share/vantrel-assistant/manual.md" || fail "the manual lacks its sections"
"$prefix/bin/vantrel" --help | grep -qxF "  Manual: $real_prefix/share/vantrel-assistant/manual.md" \
  || fail "vantrel --help does not name the installed manual"
"$build/cli/vantrel" --help | grep -qxF "  Manual: $real_build/share/vantrel-assistant/manual.md" \
  || fail "vantrel --help in the build tree does not name the built manual"
for page in "$prefix"/share/man/man1/*.gz; do
  gzip -t "$page" || fail "$page is not gzip"
done

entry="$prefix/share/applications/vantrel-assistant.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry"
grep -qx 'Exec=vantrel-assistant %f' "$entry" || fail "Exec line"
grep -qx 'MimeType=application/x-vantrel-tpd;' "$entry" || fail "MimeType line"
grep -qx 'Categories=Science;Engineering;' "$entry" || fail "Categories line"

# Software centres read the metainfo; appstreamcli fails on an error or a
# warning (an info passes).
metainfo="$prefix/share/metainfo/invalid.example.vantrel_assistant.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refuses the metainfo"

update-mime-database "$prefix/share/mime"
export XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_DATA_HOME="$prefix/no-home" XDG_CURRENT_DESKTOP=
query() { xdg-mime query filetype "$1"; }
cp "$example" "$prefix/bake.tpd"
[ "$(query "$prefix/bake.tpd")" = application/x-vantrel-tpd ] || fail "bake.tpd is $(query "$prefix/bake.tpd")"
# A program file that lost its name is known by its first line.
cp "$example" "$prefix/bake-copy"
[ "$(query "$prefix/bake-copy")" = application/x-vantrel-tpd ] || fail "by content: $(query "$prefix/bake-copy")"
printf 'plain text\n' > "$prefix/notes"
[ "$(query "$prefix/notes")" != application/x-vantrel-tpd ] || fail "plain text taken for a program"
echo "installed files, launcher and file type as the desktop expects"
