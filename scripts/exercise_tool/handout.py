"""The student's edition: a new git repository, of one fresh commit, with
the chosen exercises and what their checks build on, and no solution.

Where an exercise's solution is its lesson (the usual case), the lesson's
file holds the starter, so that the student reads the gap where the lesson
was; where it has a solution of its own (exercises/solutions/), that is left
out and the lesson stays. A lesson folder without a chosen exercise is left
out unless a kept folder builds on it (its build files name one of its
targets or the folder itself); then it is kept whole, its lessons as they
are. The stand-ins (outside/), the shared test helpers, the build's CMake
code and the tool are always there. The edition's declaration says it is
one ("edition": "handout"): its exercises have no solution and no wrong
answers, and it lists the files it left out that a README may still name.
"""

import json
import os
import re
import shutil
import subprocess
import sys

from . import starters
from .declaration import DECLARATION, HANDOUT

# What every handout holds besides its lesson folders (a path ending in /
# is a folder).
SUPPORT = (".clang-format", ".clang-tidy", ".gitignore", "CMakeLists.txt",
           "CMakePresets.json", "cmake/", "testing/", "outside/", "scripts/exercise",
           "scripts/exercise_tool/", "scripts/deps", "scripts/build", "scripts/test",
           "scripts/tour", "scripts/lint", "scripts/test_hint.py")
# Top folders that are no part to keep or leave out: the support above, the
# tree's own CI (a handout has one of its own) and its tools.
NOT_UNITS = ("cmake", "testing", "outside", "scripts", ".ci")
# Fields of an exercise that hold or point at its solution.
SOLUTION_FIELDS = ("solution", "wrong", "starter_says")
# The targets a folder's CMake code declares, and the files that say what a
# folder builds on.
DECLARES = re.compile(r"\b(?:peltra_add_(?:library|program|gtest|check_program|faulty_checks)"
                      r"|add_library|add_executable)\(\s*([A-Za-z0-9_]+)")
BUILD_FILE = re.compile(r"(^|/)(CMakeLists\.txt|[^/]+\.cmake|[^/]+\.sh)$")
README_NAME = re.compile(r"`([^`<> \n]+)`")


class HandoutError(Exception):
    """The handout cannot be written where or as asked; said in a line."""


def _git(root, *args, check=True):
    return subprocess.run(["git"] + list(args), cwd=root, capture_output=True, text=True,
                          check=check)


class Committed:
    """The files of the checkout as its last commit holds them, read with
    one git call: a handout never carries work in progress (a teacher's own
    try at a starter, say)."""

    def __init__(self, root):
        listed = subprocess.run(["git", "ls-tree", "-r", "-z", "HEAD"], cwd=root,
                                capture_output=True, check=False)
        if listed.returncode != 0:
            raise HandoutError("A handout is made from a commit, and {} has none.".format(root))
        self.modes, blobs = {}, {}
        for item in listed.stdout.split(b"\0"):
            if item:
                meta, _, path = item.partition(b"\t")
                mode, kind, blob = meta.decode().split()
                if kind == "blob":
                    self.modes[path.decode()] = int(mode, 8) & 0o777
                    blobs[path.decode()] = blob
        contents = subprocess.run(["git", "cat-file", "--batch"], cwd=root, check=True,
                                  capture_output=True,
                                  input="".join(b + "\n" for b in blobs.values()).encode()).stdout
        self.data = {}
        at = 0
        for path in blobs:
            header_end = contents.index(b"\n", at)
            size = int(contents[at:header_end].split()[2])
            self.data[path] = contents[header_end + 1:header_end + 1 + size]
            at = header_end + 1 + size + 1
        self.paths = sorted(self.data)

    def text(self, path):
        return self.data[path].decode("utf-8", errors="replace")


def _code(text, cmake):
    """Build code without its comments (and in CMake its quoted texts)."""
    text = "\n".join(line.split("#", 1)[0] for line in text.splitlines())
    return re.sub(r'"(?:[^"\\]|\\.)*"', " ", text) if cmake else text


def unit_of(name):
    """The part of the tree a file belongs to, as the handout keeps or
    leaves out whole: a lesson folder, or a stand-in's folder
    (outside/laser); None for what every handout has or none has."""
    parts = name.split("/")
    if len(parts) > 2 and parts[0] == "outside":
        return "/".join(parts[:2])
    if len(parts) > 1 and parts[0] not in NOT_UNITS:
        return parts[0]
    return None


def unit_needs(committed):
    """For each part of the tree (support aside), the others it builds on:
    its CMake code names a target one of them declares, its scripts name
    one's installed module (peltra-<target>), or either names its folder
    as a path."""
    files = committed.paths
    units = sorted({unit_of(n) for n in files} - {None})
    cmake, scripts, targets = {}, {}, {}
    for unit in units:
        cmake[unit] = scripts[unit] = ""
        for name in files:
            if unit_of(name) != unit or not BUILD_FILE.search(name):
                continue
            is_cmake = not name.endswith(".sh")
            text = _code(committed.text(name), is_cmake) + "\n"
            if is_cmake:
                cmake[unit] += text
            else:
                scripts[unit] += text
        targets[unit] = set(DECLARES.findall(cmake[unit]))
    needs = {}
    for unit in units:
        both = cmake[unit] + scripts[unit]
        needs[unit] = set()
        for other in units:
            if other == unit:
                continue
            path = re.escape(other)
            words = "|".join(re.escape(t) for t in sorted(targets[other])) or "(?!)"
            if (re.search(r"(?<![\w])(?:{})(?![\w])".format(words), cmake[unit]) or
                    re.search(r"(?<![\w])peltra-(?:{})(?![\w])".format(words), scripts[unit]) or
                    re.search(r"(?:^|[\s\"'/]){0}/|/{0}(?=[\s\"')]|$)".format(path), both,
                              re.MULTILINE)):
                needs[unit].add(other)
    return needs


def kept_units(chosen, needs):
    """The chosen exercises' folders and, transitively, what they build on."""
    kept, waiting = set(), list(chosen)
    while waiting:
        unit = waiting.pop()
        if unit not in kept:
            kept.add(unit)
            waiting += sorted(needs.get(unit, ()))
    return kept


def _is_support(name):
    return any(name == item or (item.endswith("/") and name.startswith(item))
               for item in SUPPORT)


class Plan:
    """What the handout holds: each file's source (a path of the checkout)
    by its path in the handout, the declaration, and what it leaves out."""

    def __init__(self, root, course, chosen):
        self.root = root
        self.course = course
        self.chosen = chosen
        self.committed = Committed(root)
        files = self.committed.paths
        needs = unit_needs(self.committed)
        self.units = sorted(kept_units({e.folder for e in chosen}, needs))
        self.folders = [u for u in self.units if "/" not in u]
        self.others = sorted(set(needs) - set(self.units))
        self.left_out = [unit + "/" for unit in self.others]
        self.sources = {}       # path in the handout: path in the checkout
        moved = {e.lesson: e.starter for e in chosen if self.holds_starter(e)}
        separate = {e.starter for e in chosen if not self.holds_starter(e)}
        for name in files:
            unit = unit_of(name)
            if unit in self.others:
                continue   # left out whole: its folder is on the list
            if not (_is_support(name) or unit in self.units):
                continue
            if name in (DECLARATION, "README.md") or name.startswith("scripts/tests/"):
                continue
            if "/exercises/" in name and name not in separate:
                self.left_out.append(name)   # a starter not handed out, or a solution
            else:
                self.sources[name] = moved.get(name, name)
        self.moved = {starter: lesson for lesson, starter in moved.items()}
        # A README names each kept folder's exercises/ folder, whose starters
        # moved (or were not handed out).
        self.left_out += [folder + "/exercises/" for folder in self.folders
                          if not any(s.startswith(folder + "/exercises/") for s in separate)]

    def uncommitted(self):
        """The files of the handout that the checkout changed since its commit."""
        changed = []
        for source in sorted(set(self.sources.values())):
            try:
                with open(os.path.join(self.root, source), "rb") as file:
                    if file.read() != self.committed.data[source]:
                        changed.append(source)
            except OSError:
                changed.append(source)
        return changed

    @staticmethod
    def holds_starter(exercise):
        """Whether the lesson's file holds the starter in the handout: where
        the lesson is the solution."""
        return exercise.solution == exercise.lesson

    def declaration(self):
        entries = []
        for exercise in self.chosen:
            entry = {k: v for k, v in exercise.entry.items() if k not in SOLUTION_FIELDS}
            if self.holds_starter(exercise):
                entry["starter"] = exercise.lesson
            entries.append(entry)
        course = self.course
        return {"format_version": course.format_version, "course": course.course,
                "edition": HANDOUT, "welcome": course.welcome, "final": course.final,
                "left_out": sorted(self.left_out), "exercises": entries}


def readme_text(text, folder, moved):
    """A folder README as the handout shows it: a starter named by its old
    path is named by the lesson's path that holds it now."""
    def rename(match):
        path = os.path.normpath(os.path.join(folder, match.group(1)))
        if path in moved:
            return "`{}`".format(os.path.relpath(moved[path], folder or "."))
        return match.group(0)
    return README_NAME.sub(rename, text)


def subdirectories(text, gone):
    """A CMakeLists.txt without the subfolders the handout leaves out."""
    return "".join(line for line in text.splitlines(keepends=True)
                   if not any(re.fullmatch(r"\s*add_subdirectory\({}\)\s*".format(re.escape(f)),
                                           line) for f in gone))


CI = """#!/usr/bin/env bash
# The class's CI: every exercise checked, the state written as JUnit XML
# (what CI systems and classroom graders read) and as JSON (what the
# teacher's class grid merges). It passes once every exercise is done.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
{report}
"""
REPORT = "./scripts/exercise report --junit build/report.xml --json build/report.json"


def readme(plan, book):
    """The handout's README: how to start, what it holds."""
    course = plan.course
    rows = ["| exercise | your file | the lesson's folder |", "| --- | --- | --- |"]
    for exercise in plan.chosen:
        starter = exercise.lesson if plan.holds_starter(exercise) else exercise.starter
        rows.append("| {} | `{}` | {} |".format(exercise.name, starter, exercise.folder))
    held = ", ".join("`{}/`".format(f) for f in plan.folders)
    chosen_folders = {e.folder for e in plan.chosen}
    whole = [f for f in plan.folders if f not in chosen_folders]
    kept = ("" if not whole else " {} {} here whole, as the others build on {}.".format(
        ", ".join("`{}/`".format(f) for f in whole), "is" if len(whole) == 1 else "are",
        "it" if len(whole) == 1 else "them"))
    book_line = ("The lesson book's pages for these exercises are in `book/`: open "
                 "book/index.html in a browser." if book else
                 "(This edition was made without the lesson book.)")
    return """# {name}: the exercises

{welcome}

From the top of this checkout, on a Debian 12 machine:

```sh
./scripts/exercise
```

shows the first exercise not yet done: its file, what to write and the
verdict. `./scripts/exercise watch` checks again every time you save and
moves on once it is done; `list` shows every exercise and its state,
`check NAME` checks one, `hint NAME` gives the idea (not the code) and
`reset NAME` puts a file back as it was handed out (yours is kept beside it,
ending in `.mine`). The checks are the lessons' own tests, built with
AddressSanitizer and UBSan; your file must compile without a warning.

Each exercise's file is its lesson's own file with the key part cut out:
you write it where the lesson was. So `./scripts/test` builds everything
and shows the lessons' tests failing until their exercise is done, and an
exercise whose checks build on an earlier one's file passes only once that
one is done too: take them in this order.

{rows}

What you hand in, and what the class's CI runs (`.ci/run`):

```sh
{report}
```

It checks every exercise and writes its state to build/report.xml (JUnit)
and build/report.json; it ends with status 0 only once every exercise is
done.

This edition holds {held}; the folders of the other lessons are left out.{kept}
With them come the stand-ins for outside components that they build on
(`outside/`), the shared test helpers (`testing/`), the build's CMake code
(`cmake/`) and the scripts. {book}
""".format(name=course.course, welcome=course.welcome, rows="\n".join(rows),
           report=REPORT, held=held, kept=kept, book=book_line)


def _write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as file:
        file.write(data)


def write(plan, target, book=None):
    """Writes the handout's files into `target` (an empty folder); `book`,
    a built lesson book's folder, is copied to book/."""
    for path, source in sorted(plan.sources.items()):
        data = plan.committed.data[source]
        if os.path.basename(path) == "CMakeLists.txt":
            folder = os.path.dirname(path)
            gone = [os.path.relpath(unit, folder or ".") for unit in plan.others
                    if os.path.dirname(unit) == folder]
            data = subdirectories(data.decode(), gone).encode()
        elif os.path.basename(path) == "README.md":
            data = readme_text(data.decode(), os.path.dirname(path), plan.moved).encode()
        out = os.path.join(target, path)
        _write(out, data)
        os.chmod(out, plan.committed.modes[source])
    _write(os.path.join(target, DECLARATION),
           (json.dumps(plan.declaration(), indent=2, ensure_ascii=False) + "\n").encode())
    _write(os.path.join(target, "README.md"), readme(plan, book).encode())
    ci = os.path.join(target, ".ci", "run")
    _write(ci, CI.format(report=REPORT).encode())
    os.chmod(ci, 0o755)
    if book:
        shutil.copytree(book, os.path.join(target, "book"))


def commit(target, message):
    """One fresh commit of everything in `target`: a new repository, with
    the user's git identity where there is one."""
    _git(target, "init", "-q", "-b", "main")
    identity = []
    if not _git(target, "config", "user.name", check=False).stdout.strip():
        identity = ["-c", "user.name=Peltra handout", "-c", "user.email=handout@localhost"]
    _git(target, "add", "-A")
    if os.path.isdir(os.path.join(target, "book")):
        _git(target, "add", "-f", "book")   # pictures the tree's .gitignore names
    _git(target, *identity, "commit", "-q", "-m", message)


def empty_target(path):
    """The handout's folder: new, or an empty one; never one with files."""
    path = os.path.abspath(path)
    if os.path.exists(path) and (not os.path.isdir(path) or os.listdir(path)):
        raise HandoutError("{} exists and is not an empty folder: the handout goes to a "
                           "new one".format(path))
    os.makedirs(path, exist_ok=True)
    return path


def build_book(root, chosen, out):
    """The lesson book's pages of the chosen exercises, the student's edition
    (starters where lessons were), into `out`; False where it is left out."""
    book = os.path.join(root, "scripts", "book")
    if not os.path.exists(book):
        return False
    done = subprocess.run([book, "--student", "--out", out] + [e.name for e in chosen],
                          cwd=root, check=False)
    return done.returncode == 0 and os.path.isfile(os.path.join(out, "index.html"))


def make(session, target, chosen, with_book=True, say=print):
    """Writes the handout of `chosen` (exercises of the session's course) to
    `target`; returns the plan."""
    if session.course.handout:
        raise HandoutError("This is a handout already: a handout is made from the full tree.")
    broken = [e for e in chosen if e.broken]
    for exercise in broken:
        print("{} is left out of the handout: {}.".format(exercise.name, exercise.broken),
              file=sys.stderr)
    chosen = [e for e in session.course.exercises if e in chosen and not e.broken]
    if not chosen:
        raise HandoutError("No exercise to hand out.")
    target = empty_target(target)
    plan = Plan(session.tree.root, session.course, chosen)
    changed = plan.uncommitted()
    if changed and with_book:
        # The book's pages are built from the files as they are.
        raise HandoutError("Changed since the last commit, which the handout is made from: "
                           "{}; commit or put back (or hand out --no-book).".format(
                               ", ".join(changed[:3]) + (", ..." if changed[3:] else "")))
    if changed:
        print("Left out of the handout, as not committed: the changes to {}.".format(
            ", ".join(changed[:3]) + (", ..." if changed[3:] else "")), file=sys.stderr)
    book = None
    if with_book:
        scratch = os.path.join(session.tree.build, "handout-book")
        shutil.rmtree(scratch, ignore_errors=True)
        if build_book(session.tree.root, chosen, scratch):
            book = scratch
    write(plan, target, book)
    revision = starters.base_revision(session.tree.root) or "an uncommitted tree"
    commit(target, "{}: {} exercises, handed out from {}".format(
        session.course.course, len(chosen), revision[:12]))
    say("The handout of {} exercises is in {} ({} files; folders {}{}).".format(
        len(chosen), target, len(plan.sources) + 3, ", ".join(plan.folders),
        "; the book in book/" if book else "; no book"))
    return plan
