#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Runs a command in a private D-Bus session with the accessibility bus up, as a
# desktop session has it. Accessibility stays off in a program until a screen
# reader turns it on: in the tests AtspiClient (atspi.h) does, for its own process.
# With TRAKVID_E2E_A11Y=1 it is on in every program from the start.
# Usage: a11y-session.sh COMMAND [ARGS...]
set -u
if [ -z "${TRAKVID_A11Y_SESSION:-}" ]; then
  export TRAKVID_A11Y_SESSION=1
  exec dbus-run-session -- "$0" "$@"
fi

# A private runtime folder: the accessibility bus puts its socket there, out of
# the way of other sessions on the machine and owned by whoever runs the tests.
runtime=$(mktemp -d "${TMPDIR:-/tmp}/trakvid-a11y.XXXXXX")
export XDG_RUNTIME_DIR=$runtime

# Without the display: the launcher would publish the bus on the X root window
# too, and the toolkit turns accessibility on for any program that finds it there.
env -u DISPLAY /usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q "boolean true"
}
for _ in $(seq 100); do owned org.a11y.Bus && break; sleep 0.05; done
if ! owned org.a11y.Bus; then
  echo "a11y-session.sh: the accessibility bus did not start" >&2
  kill "$launcher" 2>/dev/null
  rm -rf "$runtime"
  exit 1
fi
[ "${TRAKVID_E2E_A11Y:-0}" = 1 ] && export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

"$@"
rc=$?
kill "$launcher" 2>/dev/null
wait "$launcher" 2>/dev/null
rm -rf "$runtime"
exit $rc
