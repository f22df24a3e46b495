"""The lessons: each lesson file of exercises.json, found where a README
introduces it.

A README introduces a lesson in the first passage (a paragraph, or an item
of a list) that names, in backticks, its file, the file of the same name
beside it (its header or its source) or the program of that name. A "Look
first" sentence only points at a lesson, and a passage that names an
exercise's starter is that exercise's, so neither introduces one. The
lesson's own README (the nearest one up the tree) is read first, then
those below it. From the passage the book takes:
- the lesson's title: the passage's first clause;
- its files: the lesson file, then the file of the same name beside it and
  the other sources the passage names (these shown folded);
- the functions to point at: the other names of the passage and of the
  "Look first" sentences that name its files;
- the lines that run it: each ```sh block that follows a passage naming
  one of its files or the names the introducing passage describes
  ("`RandVector` (...): appends ...").
The book shows the lesson after the passage and the units that follow it
and still speak of it (its run lines, a "Look first" paragraph), so the
README's own lines sit just above the code they run; lines further away
are repeated with it.
"""

import os
import re
from dataclasses import dataclass, field

from . import readme as readmes

# What a lesson shows of the files its passage names: sources, not
# pictures, data or folders.
SHOWN = (".h", ".hpp", ".cpp", ".cc", ".sh", ".cmake", ".gp", ".py")
# A function's name, alone or qualified (`Tracker::addReadings`); a bare
# name in upper camel case is a type's, whose definition is no function.
FUNCTION = re.compile(r"^(?:[A-Za-z_]\w*::)*[a-z_]\w*$")


@dataclass
class Lesson:
    path: str  # the lesson file, from the top of the tree
    readme: object  # the Readme whose page shows it (None: no README above it)
    title: str  # inline Markdown
    unit: object = None  # the unit that introduces it; None where none does
    place: object = None  # the unit after which the book shows it
    order: tuple = ()  # where it is introduced on its page, for lessons at one place
    files: list = field(default_factory=list)  # the lesson file first
    names: list = field(default_factory=list)  # functions to point at
    labels: list = field(default_factory=list)  # the names its passage describes
    commands: list = field(default_factory=list)  # run blocks shown with it
    exercises: list = field(default_factory=list)
    number: int = 0  # its place in the course, from 1
    missing: bool = False  # the lesson file is not in the tree

    @property
    def anchor(self):
        """The id of the lesson on its page, unique there."""
        folder = self.readme.folder if self.readme else ""
        return "lesson-" + re.sub(r"[^\w-]", "-", os.path.relpath(self.path, folder or "."))


def siblings(top, path):
    """The files beside a source with its name and another C++ extension."""
    base = readmes.stem(path)
    return [base + ext for ext in (".h", ".hpp", ".cpp", ".cc")
            if base + ext != path and os.path.isfile(os.path.join(top, base + ext))]


def named_paths(top, folder, text):
    """The files of the tree a README's text names, in order."""
    found = []
    for name in readmes.names(text):
        path = readmes.resolve(top, folder, name)
        if path and path not in found:
            found.append(path)
    return found


def names_starter(folder, text, starters):
    """Whether a README's text names an exercise's starter (there or not)."""
    return any(os.path.normpath(os.path.join(folder, name)) in starters
               for name in readmes.names(text))


def speaks_of(top, folder, text, path):
    wanted = {path, *siblings(top, path)}
    program = os.path.basename(readmes.stem(path))
    return (bool(wanted & set(named_paths(top, folder, text)))
            or program in readmes.names(text))


def introduction(top, path, candidates, starters):
    """The README, unit, passage and its place that first introduce a
    lesson, or None."""
    for readme in candidates:
        for index, (_, unit) in enumerate(readme.units()):
            if unit.kind != "text":
                continue
            for number, passage in enumerate(readmes.passages(unit)):
                text = readmes.without_look_first(passage)
                if names_starter(readme.folder, text, starters):
                    continue
                if speaks_of(top, readme.folder, text, path):
                    return readme, unit, text, (index, number)
    return None


def pointers(top, path, candidates):
    """The names of the functions the "Look first" sentences point at in
    a lesson's files."""
    wanted = {path, *siblings(top, path)}
    found = []
    for readme in candidates:
        for _, unit in readme.units():
            for start, end in readmes.look_first_spans(unit.text):
                sentence = unit.text[start:end]
                if wanted & set(named_paths(top, readme.folder, sentence)):
                    found += readmes.names(sentence)
    return found


def find(top, paths, candidates_of, fallback_of, starters):
    """The Lessons of the lesson files at paths (in course order):
    candidates_of(path) are the READMEs to look in, fallback_of(path) the
    one that shows a lesson no README introduces."""
    lessons = []
    for path in paths:
        lessons.append(found_lesson(top, path, candidates_of(path), fallback_of, starters))
        lessons[-1].missing = not os.path.isfile(os.path.join(top, path))
        # What is not there cannot be shown: its header may be.
        lessons[-1].files = [p for p in lessons[-1].files
                             if os.path.isfile(os.path.join(top, p))]
    for lesson in lessons:
        if lesson.unit:
            place(top, lesson, {id(other.unit) for other in lessons if other is not lesson},
                  starters)
    return lessons


def found_lesson(top, path, candidates, fallback_of, starters):
    """The Lesson of one lesson file, not yet placed."""
    found = introduction(top, path, candidates, starters)
    if not found:
        readme = fallback_of(path)
        folder = readme.folder if readme else ""
        return Lesson(path, readme, f"`{os.path.relpath(path, folder or '.')}`",
                      files=[path, *siblings(top, path)])
    readme, unit, passage, order = found
    files = [path, *siblings(top, path)]
    files += [p for p in named_paths(top, readme.folder, passage)
              if p not in files and p.endswith(SHOWN) and p not in starters
              and "/solutions/" not in f"/{p}"]
    names = [n for n in readmes.names(passage) + pointers(top, path, candidates)
             if FUNCTION.match(n) and not readmes.resolve(top, readme.folder, n)]
    return Lesson(path, readme, readmes.first_clause(passage), unit, order=order,
                  files=files, names=list(dict.fromkeys(names)),
                  labels=readmes.label_names(passage))


def place(top, lesson, introducing, starters):
    """Finds the lesson's run lines and the unit after which it is shown."""
    readme = lesson.readme
    files = set(lesson.files)

    def runs(said):
        return bool(files & set(named_paths(top, readme.folder, said))
                    or set(lesson.labels) & set(readmes.names(said)))

    blocks = [(unit, part) for unit, part, said in readmes.run_blocks(readme) if runs(said)]
    units = [unit for _, unit in readme.units()]
    start = next(i for i, unit in enumerate(units) if unit is lesson.unit)
    end = start
    for unit in units[start + 1:]:
        if unit.kind == "heading" or id(unit) in introducing:
            break
        if unit.kind == "code" and any(unit is u for u, _ in blocks):
            end += 1
            continue
        text = unit.text
        if unit.kind != "text" or names_starter(readme.folder, text, starters):
            break
        if not (files & set(named_paths(top, readme.folder, text))
                or set(lesson.labels) & set(readmes.names(text))):
            break
        end += 1
    lesson.place = units[end]
    shown_above = {id(unit) for unit in units[start:end + 1]}
    lesson.commands = [part for unit, part in blocks if id(unit) not in shown_above]
