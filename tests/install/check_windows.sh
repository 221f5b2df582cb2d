#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# The Windows build under Wine, in a fresh Wine prefix of its own: the
# installer installs silently and lists its uninstaller; the installed program
# answers its command line, and, started on an empty folder and from its
# Start-menu entry, shows its window "Trakvid" and writes the seven files byte
# for byte as the Linux program does; the offscreen test suites pass; the
# uninstaller removes the program and leaves the clerks' files.
# Usage: check_windows.sh BUILD_DIR VERSION LINUX_TRAKVID
set -euo pipefail
build=$1
version=$2
linux_trakvid=$3
stage=$(mktemp -d)
export WINEPREFIX=$stage/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HOME=$stage/home
export LC_ALL=C.UTF-8
mkdir "$HOME"
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$stage"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Waits up to SECONDS for COMMAND to succeed.
wait_for() { # SECONDS COMMAND...
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}
files=(charakteristika lokomotivy nastaveni rezim trida_vozu vlastnik vozy)
all_files() { for f in "${files[@]}"; do [ -f "$1/$f.txt" ] || return 1; done; }

# A display of its own for the windows.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$stage/display" 2>/dev/null &
xvfb=$!
wait_for 30 test -s "$stage/display" || fail "no Xvfb"
export DISPLAY=:$(cat "$stage/display")

echo "== Wine prefix"
wineboot --init >/dev/null 2>&1
wineserver -w
# A program that crashes ends with its trace on stderr, not in a box that
# waits for a click until the suite's time is up.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null

echo "== Installer"
wine "$build/Trakvid-$version-setup.exe" /S
wineserver -w
installed=$WINEPREFIX/drive_c/Program\ Files/Trakvid
for f in trakvid.exe uninstall.exe LICENSE.txt; do [ -f "$installed/$f" ] || fail "not installed: $f"; done
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Trakvid.lnk
[ -f "$shortcut" ] || fail "no Start-menu entry"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trakvid'
wine reg query "$key" /v UninstallString | tr -d '\r' | grep -q 'C:\\Program Files\\Trakvid\\uninstall.exe' \
  || fail "no uninstaller in the system's programs"
wine reg query "$key" /v DisplayName | tr -d '\r' | grep -q 'Trakvid$' || fail "no name in the system's programs"
program='C:\Program Files\Trakvid\trakvid.exe'

echo "== Command line"
# Status, the arguments as the shell reads them, and the first line the
# program writes (on stdout for status 0, on stderr otherwise), in UTF-8.
# (A folder it cannot use is also shown in a box, which waits for a click.)
mkdir "$stage/cmd"
while IFS='|' read -r status arguments message; do
  eval "args=($arguments)"
  rc=0 && (cd "$stage/cmd" && wine "$program" "${args[@]}") >"$stage/out" 2>"$stage/err" || rc=$?
  out=$(head -1 "$stage/out" | tr -d '\r') && err=$(head -1 "$stage/err" | tr -d '\r')
  [ "$status" = 0 ] && first=$out || first=$err
  [ "$rc" = "$status" ] && [ "$first" = "$message" ] || fail "trakvid $arguments: status $rc, stdout: $out, stderr: $err"
done <<'TABLE'
0|--version|Trakvid 1.0
0|--help|Použití: trakvid [SLOŽKA]
2|--verze|trakvid: neznámá volba „--verze“
2|a b|trakvid: zadejte nejvýše jednu složku s daty
TABLE

echo "== The program on an empty folder, as on Linux"
mkdir "$stage/linux" "$stage/Vozy depa Plzeň"
(cd "$stage/linux" && QT_QPA_PLATFORM=offscreen exec "$linux_trakvid") >/dev/null 2>&1 &
linux=$!
wait_for 60 all_files "$stage/linux" || fail "the Linux program wrote no files"
kill "$linux" && wait "$linux" 2>/dev/null || true
wine "$program" "$(winepath -w "$stage/Vozy depa Plzeň")" >/dev/null 2>&1 &
wait_for 120 all_files "$stage/Vozy depa Plzeň" || fail "the Windows program wrote no files"
wait_for 120 xdotool search --name '^Trakvid$' >/dev/null || fail "no window Trakvid"
for f in "${files[@]}"; do
  cmp "$stage/linux/$f.txt" "$stage/Vozy depa Plzeň/$f.txt" || fail "$f.txt differs from Linux"
done
wineserver -k
wineserver -w

echo "== Started from the Start menu: the files in Documents\\Trakvid"
documents=$(winepath -u "$(wine cmd /c echo '%USERPROFILE%\Documents' | tr -d '\r')")
wine start /unix "$shortcut" >/dev/null 2>&1
wait_for 120 all_files "$documents/Trakvid" || fail "nothing in Documents\\Trakvid"
wait_for 120 xdotool search --name '^Trakvid$' >/dev/null || fail "no window Trakvid from the menu"
wineserver -k
wineserver -w

echo "== Test suites under Wine"
# One server for all the suites: started and stopped with each, it could be
# on its way out just as the next suite started.
wineserver -p
# Wine hands a program no QT_ variable of the Linux environment: the
# offscreen screen of the suites and its fonts go into the prefix's own.
environment='HKCU\Environment'
wine reg add "$environment" /v QT_QPA_PLATFORM /d offscreen /f >/dev/null
wine reg add "$environment" /v QT_QPA_FONTDIR /d "$(winepath -w /usr/share/fonts/truetype/dejavu)" /f >/dev/null
if ! ctest --test-dir "$build" -L offscreen --output-on-failure -j "$(nproc)"; then
  for name in $(cut -d: -f2 "$build/Testing/Temporary/LastTestsFailed.log"); do
    echo "== $name under Wine:" && tail -n 40 "$build/tests/$name.log" || true
  done
  fail "test suites failed under Wine"
fi
wine reg delete "$environment" /v QT_QPA_PLATFORM /f >/dev/null
wine reg delete "$environment" /v QT_QPA_FONTDIR /f >/dev/null
wineserver -k
wineserver -w

echo "== Uninstaller"
wine "$installed/uninstall.exe" /S
wineserver -w
[ ! -e "$installed/trakvid.exe" ] || fail "the uninstaller left trakvid.exe"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left its key"
all_files "$documents/Trakvid" || fail "the uninstaller took the clerks' files"
echo "installed silently in a fresh Wine prefix; window and files as on Linux; uninstalled"
