#!/usr/bin/env bash
# `cmake --install` of a build into a staging root: the desktop entry and the
# metainfo validate, the icon is there in every size, and the menu entry's
# command starts Trakvid with its seven files in ~/Trakvid, created when missing.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$stage"' EXIT
DESTDIR=$stage/root cmake --install "$build" --prefix /usr >/dev/null
share=$stage/root/usr/share
entry=$share/applications/trakvid.desktop

desktop-file-validate "$entry"
appstreamcli validate --no-net "$share/metainfo/cz.trakvid.Trakvid.metainfo.xml"
for n in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${n}x${n}/apps/trakvid.png
  file "$icon" | grep -q ": PNG image data, $n x $n," || { echo "FAIL: $icon: $(file -b "$icon")"; exit 1; }
done
grep -qx 'Name=Trakvid' "$entry" && grep -qx 'Categories=Office;' "$entry" && grep -qx 'Icon=trakvid' "$entry" \
  || { echo "FAIL: Name, Categories or Icon of $entry"; exit 1; }

# The menu entry's command, as a launcher runs it: the entry's escapes undone
# ("\\" stands for "\"), then its quoting, which the shell reads alike.
command=$(sed -n 's/^Exec=//p' "$entry" | sed 's/\\\\/\\/g')
mkdir "$stage/home" "$stage/cwd"
(cd "$stage/cwd" && export HOME=$stage/home PATH=$stage/root/usr/bin:$PATH QT_QPA_PLATFORM=offscreen \
   && eval "exec $command") &
pid=$!
for _ in $(seq 150); do [ -f "$stage/home/Trakvid/nastaveni.txt" ] && break; sleep 0.2; done
sleep 0.2
kill "$pid"
wait "$pid" 2>/dev/null || true
files=$(cd "$stage" && find home cwd -type f -not -path 'home/.cache/*' | sort | tr '\n' ' ')
expected="home/Trakvid/charakteristika.txt home/Trakvid/lokomotivy.txt home/Trakvid/nastaveni.txt \
home/Trakvid/rezim.txt home/Trakvid/trida_vozu.txt home/Trakvid/vlastnik.txt home/Trakvid/vozy.txt "
[ "$files" = "$expected" ] || { echo "FAIL: the menu entry wrote: $files"; exit 1; }
echo "installed files valid; the menu entry starts in ~/Trakvid"
