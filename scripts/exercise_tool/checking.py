"""From a student's file to a verdict: build the variant, read what the
compiler said, run the checks, and keep the verdict by its content."""

import os

from . import build, cache, checks
from .diagnostics import render
from .verdict import BROKEN, DONE, LEFT_OUT, NO_COMPILE, NOT_YET, Failure, Verdict


def timeout(exercise):
    """Seconds a check program may run; PELTRA_EXERCISE_TIMEOUT sets another."""
    value = os.environ.get("PELTRA_EXERCISE_TIMEOUT")
    return int(value) if value and value.isdigit() and int(value) > 0 else exercise.timeout


def shards():
    """How many processes a test program's tests are shared out to, at once:
    one per core this process may use (a test that waits, showing that a
    getter stays blocked, then waits beside the others), at most 8, since a
    program here holds a few dozen tests at most and every process starts
    its sanitizers' runtime anew; PELTRA_EXERCISE_SHARDS sets another number
    (1 runs them in one process, in order)."""
    value = os.environ.get("PELTRA_EXERCISE_SHARDS")
    if value and value.isdigit() and int(value) > 0:
        return int(value)
    try:
        cores = len(os.sched_getaffinity(0))
    except AttributeError:
        cores = os.cpu_count() or 1
    return min(cores, 8)


def judge(tree, exercise, variant, started=0.0, failed_log=None):
    """The verdict on a variant that is built (or failed to build) already;
    `failed_log` is the log of a build that failed, where one did."""
    found = build.diagnostics(tree, variant, started)
    # A test may check as it compiles (a static_assert, with the lesson's
    # words for its message): where that is all that failed, a check fails.
    first = found.stopped_in({tree.resolve(f) for f in variant.check_files})
    if first is not None:
        return Verdict(exercise.name, NOT_YET, warnings=found.warnings, failure=Failure(
            "The check at {}:{}".format(tree.shown(first.file), first.line),
            "fails as it compiles:", details=render(first, tree.shown, indent="")))
    if found.failed():
        return Verdict(exercise.name, NO_COMPILE, warnings=found.warnings, errors=found.errors,
                       link_errors=found.link_errors)
    if failed_log:
        # Ninja failed somewhere no record of ours covers (a configure that
        # failed, a library of the lesson's own): its log says where.
        return Verdict(exercise.name, NO_COMPILE, link_errors=[
            "The build failed; the last lines of " + failed_log + ":\n" + _tail(failed_log)])
    context = checks.Context(tree, variant.file, timeout(exercise),
                             os.path.join(tree.state, "runs", exercise.name, variant.target),
                             shards())
    outcome = checks.run_all(variant.checks, context)
    if outcome.failure is None and not found.warnings:
        return Verdict(exercise.name, DONE, outcome.passed, outcome.passed)
    total = outcome.passed if outcome.failure is None else None
    return Verdict(exercise.name, NOT_YET, outcome.passed, total, warnings=found.warnings,
                   failure=outcome.failure)


def unavailable(entry, exercise):
    """The verdict on an exercise this build leaves out or cannot check, or
    None."""
    broken = exercise.broken or (entry.broken if entry is not None else None)
    if broken:
        return Verdict(exercise.name, BROKEN, failure=Failure(exercise.name, broken))
    if entry is not None and entry.left_out:
        return Verdict(exercise.name, LEFT_OUT, left_out=list(entry.left_out))
    return None


def check(tree, exercise, variant_name="starter"):
    """Builds one variant of the exercise and judges it."""
    manifest = build.read_manifest(tree)
    entry = manifest.get(exercise.name) if manifest else None
    verdict = unavailable(entry, exercise)
    if verdict:
        return verdict
    result = build.build(tree, ["exercise_{}_{}".format(exercise.name, variant_name)])
    # The build may have configured again: read what it made.
    entry = (build.read_manifest(tree) or {}).get(exercise.name)
    if entry is None:
        raise build.SetupError("The exercises' build has no exercise {} (see {}).".format(
            exercise.name, tree.shown(result.log)))
    verdict = unavailable(entry, exercise)
    if verdict:
        return verdict
    return judge(tree, exercise, entry.variants[variant_name], result.started,
                 result.log if result.status != 0 else None)


def _tail(path, count=8):
    try:
        with open(path, encoding="utf-8", errors="replace") as file:
            return "\n".join(file.read().splitlines()[-count:])
    except OSError:
        return ""


class Progress:
    """Verdicts on the student's starters, from the cache where the content is
    the same as at the last check, checked again where it is not; an
    untouched starter is "not yet" without a build."""

    def __init__(self, tree, course, handed_out):
        self.tree = tree
        self.course = course
        self.handed_out = handed_out
        self.keys = cache.Keys(tree.root, course)
        manifest = build.read_manifest(tree)
        if manifest is None:
            # Which exercises this machine leaves out, the configure says.
            with build.locked(tree):
                build.configure(tree)
            manifest = build.read_manifest(tree)
        self.manifest = manifest or {}

    def kept(self, exercise):
        """The verdict kept for the starter as it is now, or None."""
        return cache.load(self.tree, exercise, self.keys.key(exercise))

    def known(self, exercise):
        """A verdict that needs no build: left out, kept, or untouched (which
        is "not yet" and says nothing of why: see untold)."""
        verdict = unavailable(self.manifest.get(exercise.name), exercise)
        if verdict:
            return verdict
        verdict = self.kept(exercise)
        if verdict is None and self.handed_out.untouched(exercise.starter):
            verdict = Verdict(exercise.name, NOT_YET)
        return verdict

    def check(self, exercise):
        """Checks the starter now, and keeps the verdict (unless the starter
        was saved again meanwhile: then the verdict may be of either)."""
        key = self.keys.key(exercise)
        verdict = unavailable(self.manifest.get(exercise.name), exercise)
        if verdict:
            return verdict
        verdict = check(self.tree, exercise)
        self.keys.forget(exercise.starter)
        if self.keys.key(exercise) == key:
            cache.store(self.tree, exercise, key, verdict)
        return verdict

    @staticmethod
    def untold(verdict):
        """Whether a "not yet" says nothing of why (an untouched starter)."""
        return verdict.state == NOT_YET and not verdict.failure and not verdict.warnings

    def state(self, exercise):
        """The verdict, checking only where nothing known says it."""
        return self.known(exercise) or self.check(exercise)
