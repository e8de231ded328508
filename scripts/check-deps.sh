#!/usr/bin/env bash
# scripts/check-deps.sh <build-dir>: after a build, checks that every Debian
# package the build used is installed by scripts/install-deps.sh, so that a
# machine that has never seen the project gets it too. "Used" means: it owns a
# CMake package configuration the build found (the *_DIR entries of the CMake
# cache under /usr), or a shared library one of our programs links. "Installed
# by" means: named in debian-packages.sh, or a dependency (Depends or
# Pre-Depends, recursively, without Recommends) of a package named there.
# Prints one line per missing package and fails when there is any.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"

# Files whose owning package the build needs. The cache keeps the folder of
# every package an earlier configure found, also one the project no longer
# asks for; a configuration counts only when the last configure read it,
# which build.ninja names among the files that make CMake run again.
read_last_time() {
  [ ! -f "$build/build.ninja" ] || grep -qF "$1" "$build/build.ninja"
}
files=()
while IFS= read -r dir; do
  for config in "$dir"/*Config.cmake "$dir"/*-config.cmake; do
    [ -f "$config" ] && { read_last_time "$config" && files+=("$config"); break; }
  done
done < <(sed -n 's/^[A-Za-z0-9_]*_DIR:PATH=\(\/usr\/.*\)$/\1/p' "$build/CMakeCache.txt")

while IFS= read -r lib; do
  files+=("$lib")
done < <(find "$build" -path '*/CMakeFiles' -prune -o -type f -perm -u+x -print |
           while IFS= read -r f; do
             [ "$(head -c 4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ] && ldd "$f" 2>/dev/null
           done | sed -n 's/.*=> \(\/[^ ]*\) (.*/\1/p' | sort -u)

# Owner of each file. dpkg knows a library by the path it was unpacked to,
# which on a merged-/usr system may differ from the path the loader reports.
owner_of() {
  local f="$1" real
  real="$(readlink -f "$f")"
  for p in "$f" "$real" "${f#/usr}" "${real#/usr}" "/usr$f" "/usr$real"; do
    if out="$(dpkg -S "$p" 2>/dev/null)"; then
      grep -v '^diversion' <<<"$out" | head -1 | sed 's/: .*//; s/, /\n/g; s/:[a-z0-9]*$//mg'
      return 0
    fi
  done
  echo "? $f"
}

needed="$(for f in "${files[@]}"; do owner_of "$f"; done | sort -u)"

# Everything the named packages bring with them, from the installed packages'
# own control fields.
covered="$(dpkg-query -W -f='${Package}\t${Status}\t${Provides}\t${Depends}, ${Pre-Depends}\n' |
  awk -F'\t' -v named="$("$here/debian-packages.sh" | tr '\n' ' ')" '
    function bare(name) { sub(/^ +/, "", name); sub(/[ (:].*$/, "", name); return name }
    $2 ~ /installed$/ {
      deps[$1] = $4
      installed[$1] = 1
      n = split($3, prov, ",")
      for (i = 1; i <= n; i++) providers[bare(prov[i])] = providers[bare(prov[i])] " " $1
    }
    END {
      n = split(named, queue, " ")
      for (i = 1; i <= n; i++) seen[queue[i]] = 1
      for (head = 1; head <= n; head++) {
        groups = split(deps[queue[head]], group, ",")
        for (g = 1; g <= groups; g++) {
          alts = split(group[g], alt, "|")
          for (a = 1; a <= alts; a++) {
            name = bare(alt[a])
            if (name == "") continue
            cands = (name in installed) ? name : ""
            if (name in providers) cands = cands providers[name]
            m = split(cands, cand, " ")
            for (c = 1; c <= m; c++)
              if (!(cand[c] in seen)) { seen[cand[c]] = 1; queue[++n] = cand[c] }
          }
        }
      }
      for (p in seen) print p
    }')"

missing=0
while IFS= read -r pkg; do
  [ -z "$pkg" ] && continue
  if [ "${pkg#\? }" != "$pkg" ]; then
    echo "check-deps: no Debian package owns ${pkg#\? }, which the build used"
    missing=1
  elif ! grep -qxF "$pkg" <<<"$covered"; then
    echo "check-deps: the build uses package $pkg, which scripts/debian-packages.sh does not bring in"
    missing=1
  fi
done <<<"$needed"
[ "$missing" -eq 0 ] && echo "check-deps: every package the build used is installed by scripts/install-deps.sh ($(wc -l <<<"$needed") packages)"
exit "$missing"
