"""The exercises as declared in exercises.json, the one place that says what
an exercise is; its schema is described at the top of
cmake/PeltraExercises.cmake. Everything that reads the declaration (the
tool's commands, the course book, a handout) reads it through load()."""

import json
import os
import re
from dataclasses import dataclass, field
from typing import List, Optional

FORMAT_VERSION = 1
DECLARATION = "exercises.json"
# The student's edition (`./scripts/exercise handout`) says so in its
# declaration: its exercises have no solution, and a starter may be the
# lesson's own file, which holds the starter there.
HANDOUT = "handout"
# Packages an exercise may need, as "needs" names them.
KNOWN_NEEDS = ("OpenCV", "Eigen")
# Seconds a check program may run unless the exercise says otherwise.
DEFAULT_TIMEOUT = 30
# How many classic wrong answers each exercise carries at least.
MIN_WRONG_ANSWERS = 3


class DeclarationError(Exception):
    """exercises.json is missing, not JSON, or breaks the schema."""


@dataclass(frozen=True)
class WrongAnswer:
    """A classic mistake: `replace` (once in the solution) becomes `with_`."""
    name: str
    replace: str
    with_: str

    def apply(self, solution_text):
        """The solution with the mistake made; ValueError unless `replace`
        occurs exactly once."""
        count = solution_text.count(self.replace)
        if count != 1:
            raise ValueError(
                "its text to replace occurs {} times in the solution, not once"
                .format(count))
        return solution_text.replace(self.replace, self.with_)


@dataclass(frozen=True)
class Exercise:
    """One exercise; paths are relative to the top of the checkout."""
    name: str
    starter: str
    lesson: str
    target: str
    solution: Optional[str]   # None in a handout, which holds no solution
    tests: List[str]
    outputs: List[str]
    catches: List[str]
    passes: List[str]
    needs: List[str]
    timeout: int
    task: str
    hint: str
    teaches: str
    wrong: List[WrongAnswer]
    starter_says: Optional[str]
    entry: dict = field(compare=False, repr=False)
    # What makes it impossible to check in this tree (a file it names is
    # not there), or None: the other exercises still work.
    broken: Optional[str] = None

    @property
    def folder(self):
        """The lesson folder the exercise belongs to (data, basics...)."""
        return self.starter.split("/", 1)[0]


@dataclass(frozen=True)
class Course:
    """The whole declaration: the course's texts and its exercises in order."""
    format_version: int
    course: str
    welcome: str
    final: str
    exercises: List[Exercise]
    edition: Optional[str] = None

    @property
    def handout(self):
        """Whether this is the student's edition, without solutions."""
        return self.edition == HANDOUT

    def named(self, name):
        """The exercise called `name` (or whose starter is the path `name`),
        or None."""
        for exercise in self.exercises:
            if name in (exercise.name, exercise.starter):
                return exercise
        return None

    def after(self, exercise):
        """The exercises after `exercise` in course order, then those before."""
        at = self.exercises.index(exercise)
        return self.exercises[at + 1:] + self.exercises[:at + 1]


def _text(entry, key, where, optional=False):
    value = entry.get(key)
    if value is None and optional:
        return None
    if not isinstance(value, str) or not value.strip():
        raise DeclarationError("{}: {} must be a text".format(where, key))
    return value


def _strings(value, where, key):
    if value is None:
        return []
    if not isinstance(value, list) or not all(isinstance(v, str) for v in value):
        raise DeclarationError("{}: {} must be a list of names".format(where, key))
    return list(value)


def _exercise(entry, root, index, handout=False):
    where = "exercises.json: exercise {}".format(index + 1)
    if not isinstance(entry, dict):
        raise DeclarationError(where + " is not an object")
    name = _text(entry, "name", where)
    where = "exercises.json: exercise {}".format(name)
    if not re.fullmatch(r"[A-Za-z0-9_]+", name):
        raise DeclarationError(where + ": a name has only letters, digits and _")
    paths = {}
    broken = None
    for key in ("starter", "lesson", "solution"):
        path = _text(entry, key, where, optional=(key == "solution"))
        if path is None:
            if handout:
                paths[key] = None
                continue
            path = paths["lesson"]
        if os.path.isabs(path) or ".." in path.split("/"):
            raise DeclarationError("{}: {} is a path inside the tree".format(where, key))
        parts = path.split("/")
        if key == "starter" and (len(parts) != 3 or parts[1] != "exercises" or
                                 os.path.splitext(parts[2])[0] != name):
            # In a handout the lesson's own file may hold the starter.
            if not (handout and path == entry.get("lesson")):
                raise DeclarationError(
                    "{}: its starter is <folder>/exercises/{}.cpp (or .h), not {}"
                    .format(where, name, path))
        if root is not None and not os.path.isfile(os.path.join(root, path)) and not broken:
            broken = "its {} {} does not exist".format(key, path)
        paths[key] = path
    checks = entry.get("checks")
    if not isinstance(checks, dict):
        raise DeclarationError(where + ": checks must be an object")
    kinds = ("tests", "outputs", "catches", "passes")
    unknown = set(checks) - set(kinds)
    if unknown:
        raise DeclarationError("{}: checks has no kind {}".format(where, ", ".join(sorted(unknown))))
    lists = {kind: _strings(checks.get(kind), where, "checks." + kind) for kind in kinds}
    if not any(lists.values()):
        raise DeclarationError(where + ": give its checks (tests, outputs, catches or passes)")
    needs = _strings(entry.get("needs"), where, "needs")
    for need in needs:
        if need not in KNOWN_NEEDS:
            raise DeclarationError("{}: needs knows {}, not {}".format(
                where, " and ".join(KNOWN_NEEDS), need))
    timeout = entry.get("timeout", DEFAULT_TIMEOUT)
    if not isinstance(timeout, int) or isinstance(timeout, bool) or timeout <= 0:
        raise DeclarationError(where + ": timeout is a whole number of seconds")
    wrong = entry.get("wrong", [])
    if not isinstance(wrong, list):
        raise DeclarationError(where + ": wrong must be a list")
    answers = []
    for answer in wrong:
        if not isinstance(answer, dict) or not all(
                isinstance(answer.get(key), str) for key in ("name", "replace", "with")):
            raise DeclarationError(
                where + ": each wrong answer has a name, a text to replace and one to put in its place")
        if not answer["replace"]:
            raise DeclarationError("{}: the wrong answer \"{}\" replaces nothing".format(
                where, answer["name"]))
        answers.append(WrongAnswer(answer["name"], answer["replace"], answer["with"]))
    return Exercise(
        name=name, starter=paths["starter"], lesson=paths["lesson"],
        target=_text(entry, "target", where), solution=paths["solution"],
        tests=lists["tests"], outputs=lists["outputs"], catches=lists["catches"],
        passes=lists["passes"],
        needs=needs, timeout=timeout,
        task=_text(entry, "task", where), hint=_text(entry, "hint", where),
        teaches=_text(entry, "teaches", where), wrong=answers,
        starter_says=_text(entry, "starter_says", where, optional=True),
        entry=entry, broken=broken)


def parse(data, root=None):
    """The course from the parsed JSON `data`; with `root`, an exercise whose
    files are not below it is marked broken."""
    if not isinstance(data, dict):
        raise DeclarationError("exercises.json: the top is not an object")
    version = data.get("format_version")
    if version != FORMAT_VERSION:
        raise DeclarationError("exercises.json: format_version {}; this tool reads {}".format(
            version, FORMAT_VERSION))
    entries = data.get("exercises")
    if not isinstance(entries, list) or not entries:
        raise DeclarationError("exercises.json: exercises must be a list of exercises")
    edition = data.get("edition")
    if edition not in (None, HANDOUT):
        raise DeclarationError("exercises.json: edition is \"{}\" or absent, not {}".format(
            HANDOUT, json.dumps(edition)))
    handout = edition == HANDOUT
    exercises = [_exercise(entry, root, i, handout) for i, entry in enumerate(entries)]
    seen = set()
    for exercise in exercises:
        if exercise.name in seen:
            raise DeclarationError("exercises.json: two exercises are called " + exercise.name)
        seen.add(exercise.name)
    where = "exercises.json"
    return Course(version, _text(data, "course", where), _text(data, "welcome", where),
                  _text(data, "final", where), exercises, edition)


def load(root):
    """The course declared in <root>/exercises.json."""
    path = os.path.join(root, DECLARATION)
    try:
        with open(path, encoding="utf-8") as file:
            data = json.load(file)
    except OSError as error:
        raise DeclarationError("{} cannot be read: {}".format(path, error.strerror))
    except json.JSONDecodeError as error:
        raise DeclarationError("exercises.json is not JSON: line {}, column {}: {}".format(
            error.lineno, error.colno, error.msg))
    return parse(data, root)
