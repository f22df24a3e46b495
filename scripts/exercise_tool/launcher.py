#!/usr/bin/env python3
"""Runs one compile or link of an exercise and keeps what it said as data.

The exercises' build (cmake/PeltraExercises.cmake) runs the compiles and
links of the students' files through this launcher:

    launcher.py compile [ccache] g++ ... -o <object> ...
    launcher.py link g++ ... -o <program> ...

A compile runs with -fdiagnostics-format=json, which GCC 12 prints on
standard error only; the launcher writes the diagnostics beside the object
file (<object>.diagnostics.json) with the compiler's exit status, and prints
them to standard error as GCC's plain text would name them, for the build's
log. A link keeps the linker's text and status in <program>.link.json. The
exercise tool reads these records instead of the build's log.
"""

import json
import os
import subprocess
import sys

# The file kept beside an output, for a compile and for a link.
SUFFIXES = {"compile": ".diagnostics.json", "link": ".link.json"}


def output_of(command):
    """The path after -o in a command line, or None."""
    for i, word in enumerate(command[:-1]):
        if word == "-o":
            return command[i + 1]
    return None


def parse_diagnostics(text):
    """GCC's JSON diagnostics from its standard error: a list of objects.

    Lines that are not JSON (a compiler that crashed, a launcher's own
    complaint) become one diagnostic of kind "text", so that nothing said is
    lost."""
    diagnostics = []
    rest = []
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("["):
            try:
                diagnostics.extend(json.loads(stripped))
                continue
            except json.JSONDecodeError:
                pass
        if stripped:
            rest.append(line)
    if rest:
        diagnostics.append({"kind": "text", "message": "\n".join(rest),
                            "locations": []})
    return diagnostics


def plain(diagnostic):
    """One line for the build's log: file:line:column: kind: message."""
    where = ""
    for location in diagnostic.get("locations", []):
        caret = location.get("caret", {})
        where = "{}:{}:{}: ".format(caret.get("file", "?"),
                                    caret.get("line", 0),
                                    caret.get("column", 0))
        break
    return "{}{}: {}".format(where, diagnostic.get("kind"),
                             diagnostic.get("message"))


def write_record(path, record):
    """Writes the record whole or not at all: a reader never sees half."""
    temporary = path + ".part"
    with open(temporary, "w", encoding="utf-8") as out:
        json.dump(record, out)
    os.replace(temporary, path)


def main(argv):
    if len(argv) < 2 or argv[0] not in SUFFIXES:
        print("usage: launcher.py compile|link <command...>", file=sys.stderr)
        return 2
    mode, command = argv[0], argv[1:]
    if mode == "compile":
        command = command + ["-fdiagnostics-format=json"]
    result = subprocess.run(command, stderr=subprocess.PIPE, check=False)
    text = result.stderr.decode("utf-8", errors="replace")
    output = output_of(command)
    if mode == "compile":
        diagnostics = parse_diagnostics(text)
        record = {"status": result.returncode, "diagnostics": diagnostics}
        for diagnostic in diagnostics:
            print(plain(diagnostic), file=sys.stderr)
    else:
        record = {"status": result.returncode, "text": text}
        sys.stderr.write(text)
    if output:
        write_record(output + SUFFIXES[mode], record)
    return result.returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
