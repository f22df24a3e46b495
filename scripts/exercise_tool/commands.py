"""The exercise tool's commands, one table: each command's words, what it
does, and the function that does it. Exit status: 0 done, 1 not yet, 2 a
wrong command or name (an unknown name lists the valid ones)."""

import os
import sys
from dataclasses import dataclass
from typing import Callable

from . import build, classgrid, handout, report, starters, verify, watch
from .declaration import DeclarationError
from .session import Session, UsageError, checked, say, show_next, show_verdict, wrap
from .verdict import BROKEN, DONE, LEFT_OUT, TOOL, install_line

DONE_STATUS, NOT_YET_STATUS, USAGE_STATUS = 0, 1, 2


def cmd_next(session):
    return DONE_STATUS if show_next(session) else NOT_YET_STATUS


def cmd_list(session):
    say("The exercises, in course order:")
    done = active = 0
    packages = set()
    for exercise in session.course.exercises:
        verdict = session.progress.state(exercise)
        if verdict.state == LEFT_OUT:
            packages.update(verdict.left_out)
            say("  {:17} {:20} (needs {})".format(LEFT_OUT, exercise.name,
                                                 " ".join(verdict.left_out)))
            continue
        if verdict.state == BROKEN:
            say("  {:17} {:20} ({})".format(BROKEN, exercise.name, verdict.failure.summary))
            continue
        active += 1
        done += verdict.state == DONE
        say("  {:17} {:20} {}".format(verdict.state, exercise.name, exercise.starter))
    say("{} of {} done.".format(done, active))
    if packages:
        say("What is left out needs packages this machine lacks; to install them:",
            "  " + install_line(sorted(packages)))
    return DONE_STATUS if done == active else NOT_YET_STATUS


def cmd_check(session, exercise):
    verdict = checked(session, exercise)
    show_verdict(session, exercise, verdict)
    return DONE_STATUS if verdict.state == DONE else NOT_YET_STATUS


def cmd_hint(session, exercise):
    say(wrap(exercise.hint))
    return DONE_STATUS


def cmd_solution(session, exercise):
    with open(session.tree.path(exercise.starter), encoding="utf-8") as file:
        current = file.read()
    with open(session.tree.path(exercise.solution), encoding="utf-8") as file:
        solution = file.read()
    text = starters.patch(exercise.starter, current, solution)
    if not text:
        print("{} is the solution already.".format(exercise.starter), file=sys.stderr)
    sys.stdout.write(text)
    return DONE_STATUS


def cmd_reset(session, exercise):
    handed_out = session.handed_out
    if not handed_out.known(exercise.starter):
        print("{} is not in git ({}), so there is nothing to put back.".format(
            exercise.starter, handed_out.base or "no commit"), file=sys.stderr)
        return NOT_YET_STATUS
    kept = starters.reset(session.tree.root, handed_out, exercise.starter)
    if kept is None:
        say("{} is as it was handed out: nothing to reset.".format(exercise.starter))
    else:
        say("{} is back as it was handed out; your version is in {}.".format(
            exercise.starter, session.shown(kept)))
    return DONE_STATUS


def cmd_watch(session, exercise=None):
    return DONE_STATUS if watch.watch(session, exercise) else NOT_YET_STATUS


def cmd_verify(session, *exercises):
    chosen = list(exercises) or session.course.exercises
    ok = verify.verify(session.tree, chosen, os.environ.get("CI") == "true", say)
    return DONE_STATUS if ok else NOT_YET_STATUS


def cmd_handout(session, words):
    with_book = "--no-book" not in words
    words = [word for word in words if word != "--no-book"]
    if not words or words[0].startswith("-"):
        raise UsageError("handout needs the folder to write it to")
    chosen = all_named(session, words[1:])
    if chosen is None:
        return USAGE_STATUS
    handout.make(session, words[0], chosen or session.course.exercises, with_book, say)
    return DONE_STATUS


def cmd_report(session, words):
    return DONE_STATUS if report.run(session, words, say) else NOT_YET_STATUS


def cmd_class(session, words):
    return DONE_STATUS if classgrid.run(session, words, say) else NOT_YET_STATUS


@dataclass
class Command:
    run: Callable
    words: str       # its arguments, for the usage
    about: str
    names: range     # how many exercise names it takes
    own_words: bool = False   # it reads its words itself (options, files)
    full_tree: bool = False   # it needs the solutions: never in a handout


COMMANDS = {
    "next": Command(cmd_next, "[next]", "the first exercise not yet done: file, task, verdict",
                    range(0, 1)),
    "list": Command(cmd_list, "list", "every exercise and its state", range(0, 1)),
    "check": Command(cmd_check, "check NAME", "builds NAME's checks and runs them", range(1, 2)),
    "watch": Command(cmd_watch, "watch [NAME]",
                     "checks on every save, then moves on; Ctrl-C ends", range(0, 2)),
    "hint": Command(cmd_hint, "hint NAME", "the idea, not the code", range(1, 2)),
    "solution": Command(cmd_solution, "solution NAME", "the solution as a patch (| git apply)",
                        range(1, 2), full_tree=True),
    "reset": Command(cmd_reset, "reset NAME", "the starter as handed out; yours kept as .mine",
                     range(1, 2)),
    "verify": Command(cmd_verify, "verify [NAME...]",
                      "starters fail, solutions pass, wrong answers fail (CI)", range(0, 1000),
                      full_tree=True),
    "report": Command(cmd_report, "report --junit FILE --json FILE [--student NAME]",
                      "every exercise's state, as JUnit XML and JSON; 0 once all are done",
                      range(0, 1000), own_words=True),
    "handout": Command(cmd_handout, "handout DIR [NAME...] [--no-book]",
                       "the student's edition, without solutions, as a new git repository",
                       range(1, 1000), own_words=True, full_tree=True),
    "class": Command(cmd_class, "class --csv FILE --html FILE REPORT...",
                     "students' JSON reports merged into a grid", range(0, 1000),
                     own_words=True),
}

ABOUT = """Exercises: write the key part of a lesson yourself, and the lesson's own tests
say whether it is right. Each exercise is one starter file,
<folder>/exercises/<name>.cpp; your work is your edits to it. The exercises
are declared in exercises.json (its fields: cmake/PeltraExercises.cmake) and
build apart, in build/exercises, with AddressSanitizer and UBSan. A check
program that runs longer than its time-out (30 s unless the exercise says
otherwise) is stopped; PELTRA_EXERCISE_TIMEOUT sets another.
Exit status: 0 done, 1 not yet, 2 a wrong command or name."""


def usage():
    lines = ["usage: {} [COMMAND] [NAME...]".format(TOOL)]
    for command in COMMANDS.values():
        lines.append("  {:18} {}".format(command.words, command.about))
    return ABOUT + "\n\n" + "\n".join(lines)


def named(session, word):
    """The exercise a word names (its name, or its starter's path or file
    name), or None after listing the valid names."""
    base = os.path.splitext(os.path.basename(word))[0]
    exercise = session.course.named(word) or session.course.named(base)
    if exercise is None:
        print("No exercise is called '{}'. The exercises are:".format(word), file=sys.stderr)
        for each in session.course.exercises:
            print("  " + each.name, file=sys.stderr)
    return exercise


def all_named(session, words):
    """The exercises the words name, or None after listing the valid names."""
    exercises = []
    for word in words:
        exercise = named(session, word)
        if exercise is None:
            return None
        exercises.append(exercise)
    return exercises


def main(argv, root):
    if argv and argv[0] in ("-h", "--help", "help"):
        print(usage())
        return DONE_STATUS
    word = argv[0] if argv else "next"
    command = COMMANDS.get(word)
    if command is None or len(argv[1:]) not in command.names:
        if command is None:
            print("No command '{}'.".format(word), file=sys.stderr)
        print(usage(), file=sys.stderr)
        return USAGE_STATUS
    try:
        session = Session(root)
        if command.full_tree and session.course.handout:
            print("{} {} is there only in the full tree, not in a handout.".format(
                TOOL, word), file=sys.stderr)
            return USAGE_STATUS
        if command.own_words:
            return command.run(session, argv[1:])
        exercises = all_named(session, argv[1:])
        if exercises is None:
            return USAGE_STATUS
        return command.run(session, *exercises)
    except (DeclarationError, build.SetupError, handout.HandoutError) as error:
        print(error, file=sys.stderr)
        return NOT_YET_STATUS
    except UsageError as error:
        print(error, file=sys.stderr)
        print(usage(), file=sys.stderr)
        return USAGE_STATUS
    except KeyboardInterrupt:
        return 130
