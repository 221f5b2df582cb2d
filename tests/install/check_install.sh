#!/usr/bin/env bash
# `cmake --install` of a build into a staging root: the desktop entry and the
# metainfo validate and the icon is there in every size. Then the installed
# program: started by the menu entry, it keeps its seven files in ~/Trakvid;
# as `trakvid FOLDER`, in FOLDER and nowhere else; an unusable folder gets its
# message and exit status 1, and nothing is created.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
build=$1
stage=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
DESTDIR=$stage/root cmake --install "$build" --prefix /usr >/dev/null
share=$stage/root/usr/share
entry=$share/applications/trakvid.desktop
trakvid=$stage/root/usr/bin/trakvid

desktop-file-validate "$entry"
appstreamcli validate --no-net "$share/metainfo/cz.trakvid.Trakvid.metainfo.xml"
for n in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${n}x${n}/apps/trakvid.png
  file "$icon" | grep -q ": PNG image data, $n x $n," || fail "$icon: $(file -b "$icon")"
done

# Runs COMMAND in a fresh working directory cwd/ with a fresh home/ until
# FOLDER holds the seven files, and fails if anything else was written.
creates_in() { # FOLDER COMMAND
  rm -rf "$stage/run" && mkdir -p "$stage/run/home" "$stage/run/cwd"
  (cd "$stage/run/cwd" && export HOME=$stage/run/home PATH=$stage/root/usr/bin:$PATH && eval "exec $2") &
  pid=$!
  for _ in $(seq 150); do [ -f "$stage/run/$1/nastaveni.txt" ] && break; sleep 0.2; done
  sleep 0.2 && kill "$pid" && wait "$pid" 2>/dev/null || true
  written=$(cd "$stage/run" && find . -type f -not -path './home/.cache/*' | sort | tr '\n' ' ')
  expected=$(for f in charakteristika lokomotivy nastaveni rezim trida_vozu vlastnik vozy; do printf './%s/%s.txt ' "$1" $f; done)
  [ "$written" = "$expected" ] || fail "$2 wrote: $written"
}
# The menu entry's command as a launcher runs it: the entry's escapes undone
# ("\\" stands for "\"), then its quoting, which the shell reads alike.
creates_in home/Trakvid "$(sed -n 's/^Exec=//p' "$entry" | sed 's/\\\\/\\/g')"
creates_in "cwd/Vozy depa Plzeň" '"$trakvid" "Vozy depa Plzeň"'
creates_in home/sdilena '"$trakvid" ../home/sdilena'
creates_in cwd '"$trakvid"'

mkdir "$stage/bad" && cd "$stage/bad" && touch soubor && ln -s nikam odkaz
while IFS='|' read -r folder message; do
  rc=0 && out=$("$trakvid" "$folder" 2>&1 >/dev/null) || rc=$?
  [ $rc -eq 1 ] && grep -qxF "trakvid: $message" <<<"$out" || fail "trakvid '$folder': status $rc, $out"
done <<'TABLE'
soubor|„soubor“ není složka, do které lze ukládat data.
soubor/data|Do složky s daty „soubor/data“ nelze vstoupit: část cesty není složka.
chybi/data|Složku s daty „chybi/data“ nelze vytvořit: nadřazená složka neexistuje.
odkaz|Složku s daty „odkaz“ nelze vytvořit: je to odkaz na neexistující místo.
|Složka s daty nebyla zadána (prázdný název).
TABLE
[ "$(ls -A | tr '\n' ' ')" = "odkaz soubor " ] || fail "an unusable folder left: $(ls -A)"
echo "installed files valid; the seven files land in the data folder only"
