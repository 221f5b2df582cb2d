#!/usr/bin/env bash
# Runs a command in a private D-Bus session with the accessibility bus up and
# accessibility switched on, as a desktop session with a screen reader has it,
# so that the toolkit's AT-SPI bridge is on from the program's first window.
# Usage: a11y-session.sh COMMAND [ARGS...]  (starts its own session bus when
# none is given by dbus-run-session already).
set -u
if [ -z "${TRAKVID_A11Y_SESSION:-}" ]; then
  export TRAKVID_A11Y_SESSION=1
  exec dbus-run-session -- "$0" "$@"
fi

# A private runtime folder: the accessibility bus puts its socket there, out of
# the way of other sessions on the machine and owned by whoever runs the tests.
runtime=$(mktemp -d "${TMPDIR:-/tmp}/trakvid-a11y.XXXXXX")
export XDG_RUNTIME_DIR=$runtime
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 --screen-reader=1 &
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
# What a desktop sets when a screen reader is on; the toolkit reads both.
for property in IsEnabled ScreenReaderEnabled; do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
    string:org.a11y.Status "string:$property" variant:boolean:true >/dev/null
done

"$@"
rc=$?
kill "$launcher" 2>/dev/null
wait "$launcher" 2>/dev/null
rm -rf "$runtime"
exit $rc
