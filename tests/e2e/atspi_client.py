#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
"""An AT-SPI client that listens to one application as a screen reader does.

Usage: atspi_client.py --pid PID [--events TYPE,TYPE...] [--timeout SECONDS]

It registers the listeners a screen reader registers (the toolkit sends some
events only while somebody listens), waits until the application with process
id PID is on the accessibility bus, and prints {"ready": true, ...}.

Every event of that application is printed as one JSON line:
  {"event": "object:text-changed:insert", "seq": 7, "id": "/org/a11y/...",
   "role": "text", "name": "...", "description": "...",
   "detail1": 0, "detail2": 3, "data": "123"}
"data" is the event's text, or for an object {"id", "role", "name"}; long
texts are cut to 1000 characters ("data_length" then gives the whole length).
Name, role and description are read when the event is handled, not when it
was sent.

Commands come on stdin, one a line: either a JSON array ["find", "push button",
"Zadáno"] or words split as a shell would split them (find "push button" Zadáno).
Each gets one answer line {"reply": N, "ok": true, "result": ...} or
{"reply": N, "ok": false, "error": "..."}, N counting the commands from 1.
Objects are named by their D-Bus object path ("id"), usable once a tree,
find, focused, object or event has shown it; "app" names the application's root.

  tree [ID] [MAX_CHILDREN]   every object under ID as a flat list of
                             {id, parent, depth, index, role, name, description,
                             states, child_count}; of a bigger parent only the
                             first MAX_CHILDREN children (default 200)
  find ROLE [NAME]           the objects of that role ("*": any) and name
  object ID                  one object with its interfaces, actions, extents
  focused                    the focused object, or null
  text ID                    {text, caret, selections: [[start, end]...], length}
  set-caret ID OFFSET        Text.setCaretOffset
  select-text ID START END   replaces the text selections by one
  character-extents ID OFFSET [screen|window]   {x, y, width, height}
  select-row ID ROW          Table.addRowSelection, or Selection.selectChild
  selected-rows ID           Table.getSelectedRows, or the selected children
  clear-selection ID         Selection.clearSelection
  do-action ID NAME          runs the named action (Press, ShowMenu, SetFocus...;
                             any case)
  grab-focus ID              Component.grabFocus
  sync                       a round trip to the application, then every event
                             it sent before has been printed
  quit

By hand, to look at the program as a screen reader does:
  tests/e2e/a11y-session.sh bash -c 'QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 build/src/trakvid &
      sleep 2; tests/e2e/atspi_client.py --pid $!'
then type commands such as: find text Režim
"""
import json
import os
import shlex
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

# Interface methods named like Accessible's own are kept under older names
# that warn; the warnings would only clutter the test's log.
warnings.simplefilter("ignore", DeprecationWarning)

# What a screen reader registers to follow the focus, the text and its caret,
# names and descriptions, and selections in lists.
DEFAULT_EVENTS = [
    "object:text-changed:insert",
    "object:text-changed:delete",
    "object:text-caret-moved",
    "object:text-selection-changed",
    "object:state-changed:focused",
    "object:state-changed:selected",
    "object:state-changed:checked",
    "focus:",
    "object:property-change:accessible-name",
    "object:property-change:accessible-description",
    "object:selection-changed",
    "object:active-descendant-changed",
    "object:value-changed",
    "window:activate",
    "window:deactivate",
]
MAX_DATA = 1000
SYNC = object()  # the answer of sync, given later


class Client:
    def __init__(self, pid, events, timeout):
        self.pid = pid
        self.events = events
        self.deadline = time.monotonic() + timeout
        self.app = None
        self.app_bus = None
        self.objects = {}
        self.seq = 0
        self.replies = 0
        self.pending = b""
        self.desktop = pyatspi.Registry.getDesktop(0)
        # Answers must show the state of now: no cached names, states or children.
        self.desktop.set_cache_mask(Atspi.Cache.NONE)

    # -- output -----------------------------------------------------------
    @staticmethod
    def emit(obj):
        sys.stdout.write(json.dumps(obj, ensure_ascii=False) + "\n")
        sys.stdout.flush()

    # -- objects ----------------------------------------------------------
    def remember(self, acc):
        if acc is None:
            return None
        oid = "app" if acc is self.app else acc.path
        self.objects[oid] = acc
        return oid

    def lookup(self, oid):
        if oid == "app":
            return self.app
        acc = self.objects.get(oid)
        if acc is None:
            raise KeyError("unknown object %s (list it with tree, find or focused first)" % oid)
        return acc

    def brief(self, acc):
        return {
            "id": self.remember(acc),
            "role": Atspi.role_get_name(acc.get_role()),
            "name": acc.get_name(),
            "description": acc.get_description(),
        }

    @staticmethod
    def states(acc):
        return sorted(s.value_nick for s in acc.get_state_set().get_states())

    def describe(self, acc):
        d = self.brief(acc)
        d["states"] = self.states(acc)
        d["child_count"] = acc.get_child_count()
        return d

    def walk(self, root, max_children, hidden=True):
        """The objects under root, depth first; without the hidden ones'
        descendants unless hidden is true."""
        out = []
        stack = [(root, None, 0, 0)]
        while stack:
            acc, parent, depth, index = stack.pop()
            try:
                d = self.describe(acc)
            except GLib.Error:
                continue  # gone while we walked
            d.update(parent=parent, depth=depth, index=index)
            out.append(d)
            n = min(d["child_count"], max_children)
            if not hidden and "showing" not in d["states"]:
                n = 0
            children = []
            for i in range(n):
                try:
                    child = acc.get_child_at_index(i)
                except GLib.Error:
                    child = None
                if child is not None:
                    children.append((child, d["id"], depth + 1, i))
            stack.extend(reversed(children))
        return out

    # -- application --------------------------------------------------------
    def find_app(self):
        for i in range(self.desktop.get_child_count()):
            try:
                app = self.desktop.get_child_at_index(i)
                if app is not None and app.get_process_id() == self.pid:
                    return app
            except GLib.Error:
                pass
        return None

    def own(self, acc):
        """Whether acc belongs to the application under test."""
        try:
            return acc is not None and acc.app is not None and acc.app.bus_name == self.app_bus
        except AttributeError:
            return False

    # -- events -------------------------------------------------------------
    def on_event(self, event):
        if self.app is None or not self.own(event.source):
            return
        self.seq += 1
        line = {"event": str(event.type), "seq": self.seq, "detail1": event.detail1, "detail2": event.detail2}
        try:
            line.update(self.brief(event.source))
        except GLib.Error as e:
            line["id"] = event.source.path
            line["error"] = str(e)
        data = event.any_data
        if isinstance(data, Atspi.Accessible) and data.path == event.source.path:
            pass  # the source itself, as said above
        elif isinstance(data, Atspi.Accessible):
            try:
                line["data"] = self.brief(data)
            except GLib.Error:
                line["data"] = {"id": data.path}
        elif isinstance(data, str):
            if len(data) > MAX_DATA:
                line["data_length"] = len(data)
                data = data[:MAX_DATA]
            line["data"] = data
        elif isinstance(data, (int, float, bool)):
            line["data"] = data
        self.emit(line)

    # -- commands -----------------------------------------------------------
    def cmd_tree(self, oid="app", max_children="200"):
        return self.walk(self.lookup(oid), int(max_children))

    def cmd_find(self, role, name=None):
        return [d for d in self.walk(self.app, 200)
                if (role == "*" or d["role"] == role) and (name is None or d["name"] == name)]

    def cmd_object(self, oid):
        acc = self.lookup(oid)
        d = self.describe(acc)
        d["interfaces"] = sorted(acc.get_interfaces())
        if "Action" in d["interfaces"]:
            d["actions"] = [acc.get_action_name(i) for i in range(acc.get_n_actions())]
        if "Component" in d["interfaces"]:
            r = acc.get_extents(Atspi.CoordType.SCREEN)
            d["extents"] = {"x": r.x, "y": r.y, "width": r.width, "height": r.height}
        parent = acc.get_parent()
        d["parent"] = self.remember(parent) if parent is not None and self.own(parent) else None
        return d

    def cmd_focused(self):
        for d in self.walk(self.app, 200, hidden=False):
            if "focused" in d["states"]:
                return d
        return None

    def cmd_text(self, oid):
        acc = self.lookup(oid)
        n = acc.get_character_count()
        sels = []
        for i in range(acc.get_n_selections()):
            r = acc.get_selection(i)
            sels.append([r.start_offset, r.end_offset])
        return {"text": acc.get_text(0, n), "caret": acc.get_caret_offset(), "selections": sels, "length": n}

    def cmd_set_caret(self, oid, offset):
        return self.lookup(oid).set_caret_offset(int(offset))

    def cmd_select_text(self, oid, start, end):
        acc = self.lookup(oid)
        for i in reversed(range(acc.get_n_selections())):
            acc.remove_selection(i)
        return acc.add_selection(int(start), int(end))

    def cmd_character_extents(self, oid, offset, coords="screen"):
        kind = Atspi.CoordType.WINDOW if coords == "window" else Atspi.CoordType.SCREEN
        r = self.lookup(oid).get_character_extents(int(offset), kind)
        return {"x": r.x, "y": r.y, "width": r.width, "height": r.height}

    def cmd_select_row(self, oid, row):
        acc = self.lookup(oid)
        if "Table" in acc.get_interfaces():
            return acc.add_row_selection(int(row))
        return acc.select_child(int(row))

    def cmd_selected_rows(self, oid):
        acc = self.lookup(oid)
        if "Table" in acc.get_interfaces():
            return list(acc.get_selected_rows())
        return [self.brief(acc.get_selected_child(i)) for i in range(acc.get_n_selected_children())]

    def cmd_clear_selection(self, oid):
        return self.lookup(oid).clear_selection()

    def cmd_do_action(self, oid, name):
        acc = self.lookup(oid)
        names = [acc.get_action_name(i) for i in range(acc.get_n_actions())]
        folded = [n.lower() for n in names]
        if name.lower() not in folded:
            raise KeyError("no action %s, only %s" % (name, ", ".join(names)))
        return acc.do_action(folded.index(name.lower()))

    def cmd_grab_focus(self, oid):
        return self.lookup(oid).grab_focus()

    def cmd_sync(self):
        self.app.get_child_count()  # the application answers after the events it sent before
        return SYNC

    def command(self, line):
        words = json.loads(line) if line.startswith("[") else shlex.split(line)
        self.replies += 1
        reply = {"reply": self.replies}
        try:
            if not words:
                raise ValueError("empty command")
            if words[0] == "quit":
                self.emit(dict(reply, ok=True, result=None))
                pyatspi.Registry.stop()
                return
            handler = getattr(self, "cmd_" + words[0].replace("-", "_"), None)
            if handler is None:
                raise ValueError("unknown command " + words[0])
            result = handler(*words[1:])
            if result is SYNC:
                # Answered once the events already received have been handled
                # and printed: they are dispatched at a higher priority.
                def answer():
                    self.emit(dict(reply, ok=True, result=self.seq))
                    return False
                GLib.idle_add(answer, priority=GLib.PRIORITY_LOW)
                return
            reply.update(ok=True, result=result)
        except (GLib.Error, KeyError, ValueError, TypeError, NotImplementedError, AttributeError) as e:
            reply.update(ok=False, error="%s: %s" % (type(e).__name__, e))
        self.emit(reply)

    def on_stdin(self, fd, condition):
        # Raw reads: a buffered reader would keep lines that the watch never reports.
        chunk = os.read(fd, 65536) if condition & GLib.IOCondition.IN else b""
        if not chunk:
            pyatspi.Registry.stop()
            return False
        self.pending += chunk
        while b"\n" in self.pending:
            line, self.pending = self.pending.split(b"\n", 1)
            line = line.decode("utf-8").strip()
            if line:
                self.command(line)
        return True

    def wait_for_app(self):
        self.app = self.find_app()
        if self.app is not None:
            self.app.set_cache_mask(Atspi.Cache.NONE)
            self.app_bus = self.app.app.bus_name
            self.remember(self.app)
            GLib.io_add_watch(0, GLib.PRIORITY_DEFAULT,
                              GLib.IOCondition.IN | GLib.IOCondition.HUP | GLib.IOCondition.ERR, self.on_stdin)
            self.emit({"ready": True, "app": self.app.get_name(), "events": self.events})
            return False
        if time.monotonic() > self.deadline:
            self.emit({"ready": False, "error": "no application with process id %d on the accessibility bus" % self.pid})
            pyatspi.Registry.stop()
            return False
        return True


def main(argv):
    pid, events, timeout = None, list(DEFAULT_EVENTS), 20.0
    args = iter(argv)
    for arg in args:
        if arg == "--pid":
            pid = int(next(args))
        elif arg == "--events":
            events += [e for e in next(args).split(",") if e]
        elif arg == "--timeout":
            timeout = float(next(args))
        else:
            sys.exit(__doc__)
    if pid is None:
        sys.exit(__doc__)
    sys.stdout.reconfigure(encoding="utf-8")
    # A test's application may be busy for a while between two turns of its loop.
    Atspi.set_timeout(10000, 15000)
    client = Client(pid, events, timeout)
    pyatspi.Registry.registerEventListener(client.on_event, *events)
    GLib.timeout_add(50, client.wait_for_app)
    # No idle callback that releases the interpreter lock: it would run on
    # every turn, sleeping, and starve the answers of sync.
    pyatspi.Registry.start(gil=False)


if __name__ == "__main__":
    main(sys.argv[1:])
