#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# `cmake --install` of a build into a staging root: the desktop entry, the
# metainfo and the manual pages validate, the icon is there in every size and
# the copyright and changelog are in place. Then the installed program:
# started from its menu entry (by dex, by gtk-launch and as the entry's
# command), it keeps its seven files in ~/Trakvid; given a folder by "Open
# with" (gtk-launch with a folder), by `--home-folder FOLDER` or as `trakvid
# FOLDER`, in FOLDER and nowhere else; on a real display as offscreen; the
# command line's options, mistakes, unusable folders and a missing display get
# their output and exit status, and nothing is created.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
build=$1
stage=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; chmod -R u+w "$stage" 2>/dev/null; rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
DESTDIR=$stage/root cmake --install "$build" --prefix /usr >/dev/null
share=$stage/root/usr/share
entry=$share/applications/trakvid.desktop
trakvid=$stage/root/usr/bin/trakvid

desktop-file-validate "$entry"
appstreamcli validate --no-net "$share/metainfo/cz.trakvid.Trakvid.metainfo.xml"
for page in man1 cs/man1; do
  manpage=$stage/page.1 && zcat "$share/man/$page/trakvid.1.gz" >"$manpage"
  mandoc -T lint -W warning "$manpage"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page/trakvid.1: $warnings"
done
for f in copyright changelog.gz; do [ -s "$share/doc/trakvid/$f" ] || fail "no doc/trakvid/$f"; done
for n in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${n}x${n}/apps/trakvid.png
  file "$icon" | grep -q ": PNG image data, $n x $n," || fail "$icon: $(file -b "$icon")"
done

# Runs COMMAND in a fresh working directory cwd/ with a fresh home/ until
# FOLDER holds the seven files, and fails if anything else was written. A
# launcher leaves the program running on its own: the `trakvid` it finds on
# the PATH notes the program's process before it becomes the installed one.
mkdir "$stage/shim"
printf '#!/bin/sh\necho $$ >"%s"\nexec "%s" "$@"\n' "$stage/run/pid" "$trakvid" >"$stage/shim/trakvid"
chmod +x "$stage/shim/trakvid"
creates_in() { # FOLDER COMMAND
  rm -rf "$stage/run" && mkdir -p "$stage/run/home" "$stage/run/cwd"
  (cd "$stage/run/cwd" && export HOME=$stage/run/home PATH=$stage/shim:$PATH XDG_DATA_DIRS=$share && eval "exec $2") &
  pid=$!
  for _ in $(seq 150); do [ -f "$stage/run/$1/nastaveni.txt" ] && break; sleep 0.2; done
  sleep 0.2
  if [ -f "$stage/run/pid" ]; then kill "$(cat "$stage/run/pid")" 2>/dev/null || true; fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -f "$stage/run/pid"
  # What the launchers keep of their own (GTK's cache, recent files) is not the program's.
  written=$(cd "$stage/run" && find . -type f -not -path './home/.cache/*' -not -path './home/.local/share/*' | sort | tr '\n' ' ')
  expected=$(for f in charakteristika lokomotivy nastaveni rezim trida_vozu vlastnik vozy; do printf './%s/%s.txt ' "$1" $f; done)
  [ "$written" = "$expected" ] || fail "$2 wrote: $written"
}
# The menu entry as the launchers start it, and its command as it stands (a
# launcher given no folder drops %f); a file manager's "Open with" gives the
# folder, which wins over the home folder.
grep -qx 'Exec=trakvid --home-folder %f' "$entry" || fail "Exec: $(grep ^Exec= "$entry")"
grep -qx 'MimeType=inode/directory;' "$entry" || fail "MimeType: $(grep ^MimeType= "$entry")"
creates_in home/Trakvid 'dex "$entry"'
creates_in home/Trakvid 'xvfb-run -a gtk-launch trakvid'
creates_in home/Trakvid "$(sed -n 's/^Exec=//p' "$entry" | sed 's/ %f//')"
creates_in "cwd/Vozy depa Plzeň" 'xvfb-run -a gtk-launch trakvid "$stage/run/cwd/Vozy depa Plzeň"'
creates_in "cwd/Vozy depa Plzeň" '"$trakvid" "Vozy depa Plzeň"'
creates_in home/sdilena '"$trakvid" ../home/sdilena'
creates_in home/sdilena '"$trakvid" --home-folder ../home/sdilena'
# On a real display, with the toolkit's own choice of platform.
creates_in cwd 'env -u QT_QPA_PLATFORM xvfb-run -a trakvid'
creates_in cwd '"$trakvid"'
creates_in "cwd/-minus" '"$trakvid" -- -minus'

# As root, permission bits stop nobody: the program runs without the
# capabilities that bypass them, so that a folder can really be read-only.
drop=()
[ "$(id -u)" -ne 0 ] || drop=(capsh --drop=cap_dac_override,cap_dac_read_search -- -c 'exec "$0" "$@"')
mkdir "$stage/bad" && cd "$stage/bad" && touch soubor && ln -s nikam odkaz
mkdir jen-cteni plne cteni-soubor && chmod 555 jen-cteni
for f in charakteristika lokomotivy nastaveni rezim trida_vozu vlastnik vozy; do
  touch "plne/$f.txt" "cteni-soubor/$f.txt"
done
chmod 555 plne && chmod 444 cteni-soubor/vozy.txt && rm cteni-soubor/rezim.txt
# Status (124: still running after 8 s, a window up), the arguments as the shell reads
# them (leading NAME=VALUE words set the environment; an empty value is no
# value), and the first line the program writes (on stdout for status 0, on
# stderr otherwise; none while it runs).
while IFS='|' read -r status arguments message; do
  eval "args=($arguments)"
  environment=()
  while [ ${#args[@]} -gt 0 ] && [[ ${args[0]} =~ ^[A-Z_]+= ]]; do
    environment+=("${args[0]}") && args=("${args[@]:1}")
  done
  rc=0 && QT_LOGGING_RULES=default.warning=false timeout 8 "${drop[@]}" env "${environment[@]}" "$trakvid" \
    "${args[@]}" >"$stage/out" 2>"$stage/err" || rc=$?
  out=$(head -1 "$stage/out") && err=$(head -1 "$stage/err")
  [ "$status" = 0 ] && first=$out || first=$err
  [ "$rc" = "$status" ] && [ "$first" = "$message" ] && { [ "$status" = 0 ] || [ -z "$out" ]; } \
    || fail "trakvid $arguments: status $rc, stdout: $out, stderr: $err"
  [ "$status" != 2 ] || grep -qx 'Použití: trakvid \[SLOŽKA\]' "$stage/err" || fail "trakvid $arguments: no usage"
done <<'TABLE'
0|--version|Trakvid 1.0
0|--help|Použití: trakvid [SLOŽKA]
0|-h jen-cteni|Použití: trakvid [SLOŽKA]
2|--verze|trakvid: neznámá volba „--verze“
2|-x soubor|trakvid: neznámá volba „-x“
2|-|trakvid: neznámá volba „-“
1|--home-folder soubor|trakvid: „soubor“ není složka, do které lze ukládat data.
2|--home-folder a b|trakvid: zadejte nejvýše jednu složku s daty
2|a b|trakvid: zadejte nejvýše jednu složku s daty
1|soubor|trakvid: „soubor“ není složka, do které lze ukládat data.
1|soubor/data|trakvid: Do složky s daty „soubor/data“ nelze vstoupit: část cesty není složka.
1|chybi/data|trakvid: Složku s daty „chybi/data“ nelze vytvořit: nadřazená složka neexistuje.
1|odkaz|trakvid: Složku s daty „odkaz“ nelze vytvořit: je to odkaz na neexistující místo.
1|''|trakvid: Složka s daty nebyla zadána (prázdný název).
1|jen-cteni|trakvid: Ve složce s daty „jen-cteni“ nelze vytvořit soubory lokomotivy.txt, vozy.txt, rezim.txt, vlastnik.txt, trida_vozu.txt, charakteristika.txt, nastaveni.txt: chybí oprávnění.
1|cteni-soubor|trakvid: Do souboru vozy.txt ve složce s daty „cteni-soubor“ nelze zapisovat: chybí oprávnění.
1|QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY=|trakvid: Ke spuštění je potřeba grafické prostředí (X11 nebo Wayland), žádné ale nebylo nalezeno. Spusťte Trakvid z plochy.
1|QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY= nova|trakvid: Ke spuštění je potřeba grafické prostředí (X11 nebo Wayland), žádné ale nebylo nalezeno. Spusťte Trakvid z plochy.
1|QT_QPA_PLATFORM=xcb DISPLAY= WAYLAND_DISPLAY=wayland-0 plne|trakvid: Ke spuštění je potřeba grafické prostředí (X11 nebo Wayland), žádné ale nebylo nalezeno. Spusťte Trakvid z plochy.
1|QT_QPA_PLATFORM=wayland DISPLAY=:0 WAYLAND_DISPLAY= XDG_RUNTIME_DIR=/nonexistent plne|trakvid: Ke spuštění je potřeba grafické prostředí (X11 nebo Wayland), žádné ale nebylo nalezeno. Spusťte Trakvid z plochy.
1|QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY= chybi/data|trakvid: Složku s daty „chybi/data“ nelze vytvořit: nadřazená složka neexistuje.
1|QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY= jen-cteni|trakvid: Ve složce s daty „jen-cteni“ nelze vytvořit soubory lokomotivy.txt, vozy.txt, rezim.txt, vlastnik.txt, trida_vozu.txt, charakteristika.txt, nastaveni.txt: chybí oprávnění.
0|QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY= --version|Trakvid 1.0
0|QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY= --help|Použití: trakvid [SLOŽKA]
124|plne|
124|QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY= -platform offscreen plne|
124|-reverse -style Fusion plne|
TABLE
[ "$(ls -A | tr '\n' ' ')" = "cteni-soubor jen-cteni odkaz plne soubor " ] || fail "an unusable folder left: $(ls -A)"
[ -z "$(ls -A jen-cteni)" ] && [ "$(ls plne | wc -l)" = 7 ] || fail "files written in a read-only folder"
echo "installed files valid; started from the menu by dex and gtk-launch; the seven files land in the data folder only"
