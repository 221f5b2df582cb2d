#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Runs Orca, with the system interpreter Orca is installed for, and its debug file (--debug-file) written line by line, so that a
# test reads each "SPEECH OUTPUT" as soon as Orca speaks it rather than when a
# block of the file fills. Arguments are Orca's own.
import builtins
import runpy
import sys

debug_file = sys.argv[sys.argv.index("--debug-file") + 1]
builtin_open = builtins.open


def line_buffered_open(file, mode="r", *args, **kwargs):
    if file == debug_file and "w" in mode and not args and "buffering" not in kwargs:
        kwargs["buffering"] = 1
    return builtin_open(file, mode, *args, **kwargs)


builtins.open = line_buffered_open
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
