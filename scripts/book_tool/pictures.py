"""The pictures the programs draw, found where they draw them or drawn anew.

A README names a picture (`intercept.png`) in the section that gives the
command drawing it, "(cd build/default/intercept/demo && ./intercept_demo)":
the picture is looked for in the folder that command runs in. Where the tour
or an earlier run left it, it is taken; otherwise the project is built and
the section's commands run, those of the naming unit first, then those
after it, then those before, until the picture is there.
"""

import os
import re
import subprocess
import sys

from . import readme as readmes

# Set for the commands the book runs: one of them that ran the book again
# would draw nothing and never end.
DRAWING = "PELTRA_BOOK_DRAWING"
CD = re.compile(r"^\(\s*cd\s+(\S+)\s*&&")
# A command that draws pictures runs for a few seconds; one that waits far
# longer is stuck (a window nobody closes) and is stopped.
COMMAND_TIMEOUT = 300


def candidates(section, unit):
    """The section's ```sh commands, those of and after the unit first."""
    before, after = [], []
    seen = False
    for other in section.units:
        if other is unit:
            seen = True
        for part in other.parts:
            if part.kind == "code" and part.lang == "sh":
                (after if seen else before).append(part)
    return after + before


def folder_of(command):
    """The folder a README command runs in, from the top of the tree."""
    match = CD.match(command)
    return os.path.normpath(match.group(1)) if match else "."


class Pictures:
    """Finds each picture once; draws the missing ones with one build."""

    def __init__(self, top, log_path):
        self.top = top
        self.log_path = log_path
        self.built = False
        self.ran = set()
        self.left_out = []  # (picture, commands tried)

    def _log(self):
        os.makedirs(os.path.dirname(self.log_path), exist_ok=True)
        return open(self.log_path, "a", encoding="utf-8")

    def _build(self):
        if self.built:
            return True
        self.built = True
        print(f"Building the programs that draw the pictures (log in "
              f"{os.path.relpath(self.log_path, self.top)})", file=sys.stderr)
        with self._log() as log:
            try:
                done = subprocess.run(["scripts/build", "default"], cwd=self.top,
                                      stdout=log, stderr=subprocess.STDOUT)
            except OSError as error:
                log.write(f"scripts/build: {error}\n")
                return False
        return done.returncode == 0

    def _run(self, command):
        if command in self.ran:
            return
        self.ran.add(command)
        print(f"Drawing: {command}", file=sys.stderr)
        with self._log() as log:
            log.write(f"$ {command}\n")
            log.flush()
            try:
                subprocess.run(["bash", "-c", command], cwd=self.top, stdout=log,
                               stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                               env={**os.environ, DRAWING: "1"}, timeout=COMMAND_TIMEOUT)
            except subprocess.TimeoutExpired:
                log.write(f"(stopped after {COMMAND_TIMEOUT} s)\n")

    def find(self, name, section, unit):
        """The path of the picture from the top of the tree, or None."""
        commands = [line for part in candidates(section, unit)
                    for line in readmes.commands_of(part)]
        places = [os.path.join(folder_of(c), name) for c in commands] or [name]
        for place in places:
            if os.path.isfile(os.path.join(self.top, place)):
                return place
        if commands and self._build():
            for command in commands:
                self._run(command)
                for place in places:
                    if os.path.isfile(os.path.join(self.top, place)):
                        return place
        self.left_out.append((name, commands))
        return None
