#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Builds the Debian package as scripts/package.sh does (a Release build with
# Debian's flags, in BUILD_DIR/package) and checks its name, its file list,
# its dependencies, its documentation, its flags and hardening, and that
# lintian --pedantic finds no error and no warning in it. Then builds it once
# more from a copy of the checkout at another path, with other file dates and
# another umask, and compares the two packages byte for byte.
# Usage: check_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*"; exit 1; }
"$root/scripts/package.sh" "$build/package" >/dev/null
deb=$build/package/trakvid_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb, only: $(ls "$build/package")"

listed=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/trakvid ./usr/share/applications/trakvid.desktop \
         ./usr/share/metainfo/cz.trakvid.Trakvid.metainfo.xml \
         ./usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/trakvid.png \
         ./usr/share/man/man1/trakvid.1.gz ./usr/share/man/cs/man1/trakvid.1.gz \
         ./usr/share/doc/trakvid/copyright ./usr/share/doc/trakvid/changelog.gz; do
  grep -qxF "$f" <<<"$listed" || fail "$f is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 libjpeg62-turbo qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "$d is not among the dependencies: $depends"
done

# Debian's -O2 is the last optimisation level the compiler sees.
flags=$(sed -n 's/^CXX_FLAGS = //p' "$build/package/src/CMakeFiles/trakvid.dir/flags.make")
[[ "$flags" =~ -O2 ]] && ! [[ "$flags" =~ -O2.*-O[^2] ]] || fail "Debian's -O2 is not the level used: $flags"
listing=$(TZ=UTC dpkg-deb -c "$deb")
grep -q "$(date -u -d @"$(dpkg-parsechangelog -l "$root/doc/changelog" -STimestamp)" '+%Y-%m-%d %H:%M') ./usr/bin/trakvid" \
  <<<"$listing" || fail "the files are not dated by the changelog: $(head -3 <<<"$listing")"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
doc=$unpacked/usr/share/doc/trakvid
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright" \
  && grep -qx 'License: MIT' "$doc/copyright" || fail "copyright is not in Debian's format with the MIT licence"
# (Outputs are read whole before grep: a grep -q that stops early would break the pipe.)
[[ "$(zcat "$doc/changelog.gz")" == "trakvid ($version) "* ]] || fail "changelog does not begin with $version"
for page in man1 cs/man1; do
  grep -q '^\.SH ' <<<"$(zcat "$unpacked/usr/share/man/$page/trakvid.1.gz")" || fail "$page/trakvid.1 is no manual page"
done
# Hardening: fortified calls, the stack protector, read-only relocations bound at start.
binary=$unpacked/usr/bin/trakvid
grep -q GNU_RELRO <<<"$(readelf -lW "$binary")" || fail "no relro"
grep -qE 'BIND_NOW|FLAGS_1.* NOW' <<<"$(readelf -dW "$binary")" || fail "no bindnow"
symbols=$(readelf --dyn-syms -W "$binary")
grep -q '__stack_chk_fail' <<<"$symbols" || fail "no stack protector"
grep -qE '__[a-z]+_chk' <<<"$(grep -v __stack_chk_fail <<<"$symbols")" || fail "no fortified functions"

# No error and no warning; info tags are shown (the README names any left).
lintian -I --pedantic --fail-on error,warning --tag-display-limit 0 "$deb"

# The same commit checked out elsewhere, its files dated now, built with
# another umask in the same place relative to its checkout.
relative=$(realpath -m --relative-to="$root" "$build/package")
if [[ "$relative" == ../* ]]; then
  echo "not rebuilt: the build folder $build lies outside the checkout"
else
  copy=$unpacked/another/checkout
  mkdir -p "$copy"
  if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$root" && git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -) | tar -xmf - -C "$copy"
  else
    tar -C "$root" --exclude='./build*' --exclude=./data --exclude=./.git -cf - . | tar -xmf - -C "$copy"
  fi
  (umask 002 && "$copy/scripts/package.sh" "$copy/$relative" >/dev/null)
  again=$copy/$relative/$(basename "$deb")
  if ! cmp "$deb" "$again"; then
    diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$again") || true
    (cd "$unpacked" && mkdir a b && dpkg-deb -x "$deb" a && dpkg-deb -x "$again" b && diff -r a b) || true
    fail "two builds of one commit differ: $deb and $again"
  fi
  echo "built again from $copy: byte for byte the same"
fi
echo "$(basename "$deb"): $(wc -l <<<"$listed") entries; Depends: $depends"
