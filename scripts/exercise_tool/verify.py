"""The teacher's guarantee, which CI checks: every starter is its lesson with
the gap cut out, compiles, and fails a check (saying what starter_says where
given); every solution passes every check without a warning; and every
classic wrong answer, applied to the solution, gives "not yet".

The build runs in rounds, each one ninja call: every starter and solution,
then every exercise's first wrong answer, then every second one, and so on;
ninja never runs twice at once in the build folder."""

from . import build, checking
from .declaration import MIN_WRONG_ANSWERS
from .starters import stale_lines
from .verdict import DONE, NO_COMPILE, render


def _text(path):
    with open(path, encoding="utf-8") as file:
        return file.read()


def _shown(verdict, tree):
    """The verdict's lines below its first, without the offer of a hint."""
    return [line for line in render(verdict, tree.shown)[1:] if not line.startswith("Stuck? ")]


def _said(verdict):
    """The failure in a few words, for a line of verify's report."""
    if verdict.failure:
        return "{} {}".format(verdict.failure.check, verdict.failure.summary).rstrip(":")
    if verdict.warnings:
        return "the compiler warns: " + verdict.warnings[0].message
    return verdict.state


class Verification:
    """The findings on each exercise: problems (each a line) and notes."""

    def __init__(self, tree):
        self.tree = tree
        self.problems = {}
        self.notes = {}
        self.left_out = set()

    def problem(self, exercise, text, details=()):
        self.problems.setdefault(exercise.name, []).append(text)
        self.problems[exercise.name] += ["    " + line for line in details]

    def note(self, exercise, text):
        self.notes.setdefault(exercise.name, []).append(text)

    def starter(self, exercise, variant, started):
        """The starter: still its lesson with the gap cut out, compiling, not
        done, and saying what the declaration says it says."""
        tree = self.tree
        stale = _stale(tree, exercise, _text(tree.path(exercise.starter)))
        if stale:
            self.problem(exercise, "the starter holds code that {} no longer has; cut it again:"
                         .format(exercise.lesson), stale)
        verdict = checking.judge(tree, exercise, variant, started)
        text = "\n".join(render(verdict, tree.shown))
        if verdict.state == NO_COMPILE:
            self.problem(exercise, "the starter does not compile:", _shown(verdict, tree))
        elif verdict.state == DONE:
            self.problem(exercise, "the starter passes all its checks; it must leave something "
                         "to write")
        else:
            self.note(exercise, "the starter: " + _said(verdict))
            if exercise.starter_says and exercise.starter_says not in text:
                self.problem(exercise, "the verdict on the starter does not say \"{}\":".format(
                    exercise.starter_says), text.splitlines())

    def solution(self, exercise, variant, started):
        verdict = checking.judge(self.tree, exercise, variant, started)
        if verdict.state != DONE:
            self.problem(exercise, "the solution {} is {}:".format(exercise.solution, verdict.state),
                         _shown(verdict, self.tree))
            return False
        return True

    def wrong_answer(self, exercise, answer, variant, started):
        verdict = checking.judge(self.tree, exercise, variant, started)
        if verdict.state == DONE:
            self.problem(exercise, "the wrong answer \"{}\" passes as done: the checks miss it"
                         .format(answer.name))
        elif verdict.state == NO_COMPILE:
            self.problem(exercise, "the wrong answer \"{}\" does not compile, so it tests "
                         "nothing of the checks:".format(answer.name),
                         _shown(verdict, self.tree)[:2])
        else:
            self.note(exercise, "\"{}\": {}".format(answer.name, _said(verdict)))


def _stale(tree, exercise, starter):
    """The starter's lines that neither its lesson nor its solution holds."""
    references = [_text(tree.path(exercise.lesson))]
    if exercise.solution != exercise.lesson:
        references.append(_text(tree.path(exercise.solution)))
    return stale_lines(starter, references)


def _write_trial(variant, text):
    with open(variant.file, "w", encoding="utf-8") as file:
        file.write(text)


def verify(tree, exercises, ci, say):
    """Verifies `exercises`; returns True when all hold. `say` prints a line."""
    # The build's own files first, so that the manifest is of the
    # declaration as it is now.
    build.build(tree, ["build.ninja"])
    manifest = build.read_manifest(tree) or {}
    found = Verification(tree)
    active = []
    for exercise in exercises:
        entry = manifest.get(exercise.name)
        broken = exercise.broken or (entry.broken if entry else None)
        if broken:
            found.problem(exercise, "it cannot be checked: " + broken)
        elif entry is None:
            found.problem(exercise, "the exercises' build has no such exercise")
        elif entry.left_out:
            # CI has every package: an exercise left out there is a fault.
            if ci:
                found.problem(exercise, "left out, for want of " + " ".join(entry.left_out))
            else:
                found.left_out.add(exercise.name)
                found.note(exercise, "needs " + " ".join(entry.left_out))
        else:
            active.append((exercise, entry))
    say("Building every starter and every solution...")
    targets = [entry.variants[v].target for _, entry in active for v in ("starter", "solution")]
    result = build.build(tree, targets, keep_going=True) if targets else None
    solved = []
    for exercise, entry in active:
        found.starter(exercise, entry.variants["starter"], result.started)
        if found.solution(exercise, entry.variants["solution"], result.started):
            solved.append((exercise, entry))
        if len(exercise.wrong) < MIN_WRONG_ANSWERS:
            found.problem(exercise, "{} wrong answers; each exercise carries at least {}".format(
                len(exercise.wrong), MIN_WRONG_ANSWERS))

    # The wrong answers, in rounds: the first of each exercise, then the second...
    rounds = max((len(exercise.wrong) for exercise, _ in solved), default=0)
    for number in range(rounds):
        trials = []
        for exercise, entry in solved:
            if number >= len(exercise.wrong):
                continue
            answer = exercise.wrong[number]
            with open(tree.path(exercise.solution), encoding="utf-8") as file:
                solution = file.read()
            try:
                text = answer.apply(solution)
            except ValueError as error:
                found.problem(exercise, "the wrong answer \"{}\": {}".format(answer.name, error))
                continue
            _write_trial(entry.variants["trial"], text)
            trials.append((exercise, answer, entry.variants["trial"]))
        if not trials:
            continue
        say("Trying the wrong answers numbered {} ({} exercises)...".format(number + 1, len(trials)))
        result = build.build(tree, [variant.target for _, _, variant in trials], keep_going=True)
        for exercise, answer, variant in trials:
            found.wrong_answer(exercise, answer, variant, result.started)

    return _report(found, exercises, say)


def _report(found, exercises, say):
    """A line per exercise, its problems first, then what caught what."""
    failed = []
    for exercise in exercises:
        problems = found.problems.get(exercise.name, [])
        if problems:
            failed.append(exercise.name)
            state = "FAILED"
        else:
            state = "left out" if exercise.name in found.left_out else "ok"
        lines = problems + found.notes.get(exercise.name, [])
        say("  {:10} {}: {}".format(state, exercise.name, lines[0] if lines else ""))
        for line in lines[1:]:
            say("             " + line)
    if failed:
        say("verify: failed: " + " ".join(failed))
        return False
    say("verify: all {} exercises: every starter is cut from its lesson, compiles and fails a "
        "check; every solution passes without a warning; every wrong answer is caught."
        .format(len(exercises)))
    return True
