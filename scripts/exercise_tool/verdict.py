"""A verdict as data, and as the student reads it.

A verdict is made once (checking.py), kept by the content it was made of
(cache.py) and shown here: the compiler's warnings on the student's file
first, then the first failing check, what it expected and what came out,
and where."""

from dataclasses import dataclass, field
from typing import List, Optional

from .diagnostics import Diagnostic, render as render_diagnostic

DONE = "done"
NOT_YET = "not yet"
NO_COMPILE = "does not compile"
LEFT_OUT = "left out"
BROKEN = "broken"
# States of an exercise that cannot be worked on here.
UNAVAILABLE = (LEFT_OUT, BROKEN)
TOOL = "./scripts/exercise"


@dataclass
class Failure:
    """The first check that failed."""
    check: str                     # which: a test, a program's output, a faulty component
    summary: str                   # what happened, in a few words
    location: Optional[str] = None  # file:line, from the top of the checkout
    details: List[str] = field(default_factory=list)  # what it expected, what came out

    def to_dict(self):
        return dict(self.__dict__)


@dataclass
class Verdict:
    exercise: str
    state: str
    passed: int = 0                # checks that passed (each test counts one)
    total: Optional[int] = None    # all the checks, where every one ran
    warnings: List[Diagnostic] = field(default_factory=list)
    errors: List[Diagnostic] = field(default_factory=list)
    link_errors: List[str] = field(default_factory=list)
    failure: Optional[Failure] = None
    left_out: List[str] = field(default_factory=list)  # the packages it needs

    @property
    def done(self):
        return self.state == DONE

    def to_dict(self):
        return {
            "exercise": self.exercise, "state": self.state, "passed": self.passed,
            "total": self.total,
            "warnings": [w.to_dict() for w in self.warnings],
            "errors": [e.to_dict() for e in self.errors],
            "link_errors": list(self.link_errors),
            "failure": self.failure.to_dict() if self.failure else None,
            "left_out": list(self.left_out),
        }

    @staticmethod
    def from_dict(data):
        failure = data.get("failure")
        return Verdict(
            data["exercise"], data["state"], data.get("passed", 0), data.get("total"),
            [Diagnostic.from_dict(w) for w in data.get("warnings", [])],
            [Diagnostic.from_dict(e) for e in data.get("errors", [])],
            list(data.get("link_errors", [])),
            Failure(**failure) if failure else None,
            list(data.get("left_out", [])))


def install_line(packages):
    return "sudo apt-get install -y --no-install-recommends " + " ".join(packages)


def _failure_lines(failure):
    lines = ["{} {}".format(failure.check, failure.summary).strip()]
    if failure.location:
        lines.append("  " + failure.location)
    lines += ["    " + line if line else "" for line in failure.details]
    return lines


def render(verdict, shown):
    """The verdict's lines; `shown` turns a path into the one the student
    sees."""
    name = verdict.exercise
    if verdict.state == BROKEN:
        return ["{} cannot be checked in this tree: {} (exercises.json or the lesson "
                "changed; verify names it too).".format(name, verdict.failure.summary)]
    if verdict.state == LEFT_OUT:
        return ["{} is left out: it needs {} ({}).".format(
            name, " ".join(verdict.left_out), install_line(verdict.left_out))]
    if verdict.state == DONE:
        if verdict.passed == 1:
            return ["{}: done. Its check passes.".format(name)]
        return ["{}: done. All {} checks pass.".format(name, verdict.passed)]
    lines = ["{}: {}.".format(name, verdict.state)]
    if verdict.state == NO_COMPILE:
        if verdict.errors:
            lines += render_diagnostic(verdict.errors[0], shown)
        for text in verdict.link_errors[:1]:
            lines.append("  The linker:")
            lines += ["    " + shorten(line, shown) for line in text.splitlines()[:6]]
    if verdict.warnings:
        lines.append("The compiler warns (an exercise is done only when its file compiles "
                     "without a warning):")
        for warning in verdict.warnings:
            lines += render_diagnostic(warning, shown)
    if verdict.failure:
        lines += _failure_lines(verdict.failure)
    elif verdict.state == NOT_YET and verdict.warnings:
        lines.append("Every check passes: the warnings are what is left.")
    lines.append("Stuck? {} hint {}".format(TOOL, name))
    return lines


def shorten(text, shown):
    """Paths in a line of a tool's text as the student sees them."""
    return " ".join(shown(word) if "/" in word and not word.startswith("-") else word
                    for word in text.split(" "))
