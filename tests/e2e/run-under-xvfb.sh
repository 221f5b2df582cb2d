#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Runs one end-to-end test binary on a fresh Xvfb display with a window manager,
# which hands the activation back to a window when its box closes, as a desktop
# does; in a private D-Bus session with the accessibility bus up, so that an
# AT-SPI client can listen as a screen reader does (a11y-session.sh).
# Keys do not repeat while held: a key held until its box is gone stays one key.
# TRAKVID_SCREEN sets the screen's size and depth (default 1280x1024x24).
set -u
test_binary=$1
here=$(cd "$(dirname "$0")" && pwd)
exec xvfb-run -a -s "-r -screen 0 ${TRAKVID_SCREEN:-1280x1024x24}" "$here/a11y-session.sh" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
  sleep 0.5
  "$0"
  rc=$?
  kill $wm 2>/dev/null
  exit $rc' "$test_binary"
