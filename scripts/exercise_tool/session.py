"""What the exercise tool's commands share: the checkout, the declared
course, the progress, and how an exercise and its verdict are shown."""

import sys
import textwrap

from . import build, checking, starters
from .declaration import load
from .verdict import DONE, TOOL, UNAVAILABLE, render


class UsageError(Exception):
    """A command's own words (options, files) read wrong; said in a line."""


class Session:
    """What the commands share: the checkout, the declared course, and (made
    when first asked for) the starters as handed out and the progress."""

    def __init__(self, root):
        self.tree = build.Tree(root)
        self.course = load(self.tree.root)
        self._handed_out = None
        self._progress = None

    @property
    def handed_out(self):
        if self._handed_out is None:
            self._handed_out = starters.HandedOut(
                self.tree.root, [e.starter for e in self.course.exercises])
        return self._handed_out

    @property
    def progress(self):
        if self._progress is None:
            self._progress = checking.Progress(self.tree, self.course, self.handed_out)
        return self._progress

    def shown(self, path):
        return self.tree.shown(path)

    def unavailable(self, exercise):
        """Whether the exercise is left out or broken here."""
        verdict = checking.unavailable(self.progress.manifest.get(exercise.name), exercise)
        return verdict is not None


def wrap(text, indent="  "):
    return textwrap.fill(" ".join(text.split()), width=76, initial_indent=indent,
                         subsequent_indent=indent)


def say(*lines):
    for line in lines:
        print(line)
    sys.stdout.flush()


def show_verdict(session, exercise, verdict, footer=None):
    """The verdict; once done, what the exercise taught and the file to
    compare with; otherwise `footer` before the line that offers the hint."""
    lines = render(verdict, session.shown)
    if verdict.state == DONE:
        lines.append(wrap("What it taught: " + exercise.teaches, ""))
        # In a handout the lesson may be the student's own file now.
        compare = exercise.solution or (exercise.lesson if exercise.lesson != exercise.starter
                                        else None)
        if compare:
            lines.append("Compare yours with {}.".format(compare))
    elif footer and verdict.state not in UNAVAILABLE:
        lines.insert(len(lines) - 1, footer)
    say(*lines)


def introduce(session, exercise):
    at = session.course.exercises.index(exercise) + 1
    say("Exercise {} of {}: {} (the lesson: {})".format(
        at, len(session.course.exercises), exercise.starter, exercise.lesson),
        wrap(exercise.task))


def checked(session, exercise):
    """Checks the starter now, saying so on standard error."""
    print("Checking {}...".format(exercise.starter), file=sys.stderr)
    return session.progress.check(exercise)


def first_not_done(session, exercises):
    """The first of `exercises` not yet done, with its verdict: known without
    a build where it can be, checked where it cannot. None when all are done
    (or left out, or broken)."""
    for exercise in exercises:
        verdict = session.progress.known(exercise)
        if verdict is not None and (verdict.state == DONE or verdict.state in UNAVAILABLE):
            continue
        if verdict is None or session.progress.untold(verdict):
            # Changed since the last check, or untouched: the student sees why.
            verdict = checked(session, exercise)
        if verdict.state != DONE and verdict.state not in UNAVAILABLE:
            return exercise, verdict
    return None, None


def finished(session):
    say("All {} exercises are done.".format(len(session.course.exercises)),
        wrap(session.course.final, ""))


def show_next(session, watching=False):
    """Shows the first exercise not yet done, its task and its verdict (the
    welcome first on a fresh start); True when every one is done."""
    fresh = all(session.handed_out.untouched(e.starter) for e in session.course.exercises)
    if fresh and not watching:
        say(wrap(session.course.welcome, ""), "")
    exercise, verdict = first_not_done(session, session.course.exercises)
    if exercise is None:
        finished(session)
        return True
    introduce(session, exercise)
    footer = None if watching else (
        "Edit {}, then run {} again (or {} watch, which checks on every save).".format(
            exercise.starter, TOOL, TOOL))
    show_verdict(session, exercise, verdict, footer)
    return False
