"""Runs the checks of one variant of an exercise and says, as data, how the
first one that failed failed. Every conclusion comes from structure: the
exit status (a time-out, a signal, a sanitizer's own status), GoogleTest's
JSON report, the event log of the tests that ran, the sanitizer's report,
and for an output the bytes it printed."""

import os
import shutil
from dataclasses import dataclass
from typing import Optional

from . import gtest, sanitizer
from .diagnostics import source_line
from .running import run_bounded
from .verdict import Failure


@dataclass
class Outcome:
    """The checks of a variant that ran: how many passed, and the failure
    that stopped them, if one did."""
    passed: int
    failure: Optional[Failure]


class Context:
    """What a check needs to know beyond itself: the tree (to show paths),
    the student's file (whose frames and lines a report names first), the
    time-out, and a folder for the run's files."""

    def __init__(self, tree, own_file, seconds, run_dir):
        self.tree = tree
        self.own = tree.resolve(own_file)
        self.seconds = seconds
        self.run_dir = run_dir

    def place(self, file, line):
        return "{}:{}".format(self.tree.shown(file), line) if file else None


def _fresh(directory):
    shutil.rmtree(directory, ignore_errors=True)
    os.makedirs(directory)
    return directory


def _read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as file:
            return file.read()
    except OSError:
        return ""


def _gtest_failure(result, context, summary):
    """A failed test as a Failure: its first failure's place and text."""
    first = result.failures[0] if result.failures else gtest.Failure(None, 0, "")
    return Failure(result.name, summary, context.place(first.file, first.line),
                   first.message.splitlines())


def _sanitizer_failure(report, what, context):
    frame = report.first_frame_in(lambda file: context.tree.resolve(file) == context.own)
    if frame is None:
        frame = report.first_frame_in(
            lambda file: context.tree.resolve(file).startswith(context.tree.root + os.sep))
    details = [report.headline]
    location = None
    if frame:
        file = context.tree.resolve(frame.file)
        location = "{} (in {})".format(context.place(file, frame.line), frame.function)
        text = source_line(file, frame.line)
        if text is not None:
            details.append("{:5} | {}".format(frame.line, text))
    return Failure(what, "was stopped by {}:".format(report.tool), location, details)


def _ended_early(run, context):
    """How a run that did not end on its own terms ended: (what stopped it,
    None) for the time-out or a signal, (None, the report) for a sanitizer,
    (None, None) for a run that ended on its own."""
    if run.timed_out:
        return "was stopped after {} s: a wait did not wake (or a loop never ended).".format(
            context.seconds), None
    found = sanitizer.find(run.status, context.run_dir, run.stderr)
    if found:
        return None, found
    if run.status < 0:
        return "crashed ({}).".format(run.signal_name()), None
    return None, None


def run_gtest(check, context):
    """Runs a GoogleTest program; returns (report or None, Failure or None).
    A run that ended early names the test that was running, and a test that
    failed before it first: that is the one to fix."""
    directory = _fresh(context.run_dir)
    report_path = os.path.join(directory, "report.json")
    events_path = os.path.join(directory, "events.jsonl")
    env = {"PELTRA_TEST_EVENTS": events_path, "GTEST_COLOR": "no",
           **sanitizer.environment(directory)}
    run = run_bounded([check.program, "--gtest_output=json:" + report_path],
                      os.path.dirname(check.program), env, context.seconds)
    report = gtest.parse_report(_read(report_path)) if os.path.exists(report_path) else None
    events = gtest.parse_events(_read(events_path))
    what = events.running or (check.name if report is None else "the test program, at its end,")
    stopped, found = _ended_early(run, context)
    if stopped or found:
        failure = (Failure(what, stopped) if stopped else
                   _sanitizer_failure(found, what, context))
        earlier = next((t for t in events.finished if not t.passed), None)
        if earlier is None and events.running_failures:
            earlier = gtest.TestResult(events.running, False, events.running_failures)
        if earlier is not None:
            first = _gtest_failure(earlier, context, "fails:")
            first.details += ["", "Then {} {}".format(failure.check, failure.summary)] + \
                failure.details
            failure = first
        return report, failure
    if report is None:
        return None, Failure(check.name, "ended with status {} and wrote no report.".format(
            run.status), details=run.stderr.splitlines()[-5:])
    if run.status != 0 and report.first_failed() is None:
        return report, Failure(check.name, "ended with status {} though every test passed."
                               .format(run.status), details=run.stderr.splitlines()[-5:])
    return report, None


def run_tests(check, context):
    report, failure = run_gtest(check, context)
    if failure:
        return Outcome(report.passed if report else 0, failure)
    first = report.first_failed()
    if first is None:
        return Outcome(report.total, None)
    summary = "fails ({} of {} tests pass):".format(report.passed, report.total)
    return Outcome(report.passed, _gtest_failure(first, context, summary))


def _component(check, context):
    """The component a check program of the student's checks is built with."""
    if not check.faulty:
        return "the real component"
    return "a component off only as far as the checks allow ({})".format(
        ", ".join(context.tree.shown(f) for f in check.faulty))


def run_passes(check, context):
    """The student's checks on the real component, or on one off only as far
    as they allow: every one must pass."""
    report, failure = run_gtest(check, context)
    if failure:
        failure.check = "On {}: {}".format(_component(check, context), failure.check)
        return Outcome(0, failure)
    first = report.first_failed()
    if first is None:
        return Outcome(report.total if not check.faulty else 1, None)
    failure = _gtest_failure(first, context, "fails there:")
    failure.check = "Your checks must pass on {}, but {}".format(
        _component(check, context), failure.check)
    return Outcome(report.passed, failure)


def run_catches(check, context):
    """The student's checks on a faulty component: one must fail."""
    report, failure = run_gtest(check, context)
    faulty = ", ".join(context.tree.shown(f) for f in check.faulty) or check.name
    if failure:
        failure.check = "On the faulty component ({}): {}".format(faulty, failure.check)
        return Outcome(0, failure)
    if report.first_failed() is not None:
        return Outcome(1, None)
    return Outcome(0, Failure(
        "Your checks", "all pass on a faulty component ({}): they must fail on it.".format(faulty)))


def first_difference(expected, printed):
    """Lines that say where the printed bytes first differ from the expected
    ones; blanks at the end of a line, easy to miss, are named."""
    if expected + b"\n" == printed or printed + b"\n" == expected:
        return ["the lines are the same; the line break at the very end is not"]
    want = expected.decode("utf-8", errors="replace").split("\n")
    got = printed.decode("utf-8", errors="replace").split("\n")
    number = next((n for n, (a, b) in enumerate(zip(want, got), 1) if a != b),
                  min(len(want), len(got)) + 1)
    a = want[number - 1] if number <= len(want) else None
    b = got[number - 1] if number <= len(got) else None

    def show(line, missing):
        if line is None:
            return missing
        return '"{}"'.format(line) if line else "(an empty line)"

    lines = ["line {} expected: {}".format(number, show(a, "(nothing: the expected output ends before)")),
             "line {} printed:  {}".format(number, show(b, "(nothing: the output ends before)"))]
    if a is not None and b is not None and a.rstrip(" \t") == b.rstrip(" \t"):
        lines.append("(they differ in the blanks at the end of the line: {} expected, {} printed)"
                     .format(len(a) - len(a.rstrip(" \t")), len(b) - len(b.rstrip(" \t"))))
    return lines


def run_output(check, context):
    """A program's output byte for byte, and its exit status."""
    directory = _fresh(context.run_dir)
    program = os.path.basename(check.program)
    run = run_bounded([check.program] + list(check.args), os.path.dirname(check.program),
                      sanitizer.environment(directory), context.seconds)
    stopped, found = _ended_early(run, context)
    if found:
        return Outcome(0, _sanitizer_failure(found, program, context))
    expected_status = check.exit_code
    if stopped and (run.timed_out or expected_status <= 128):
        return Outcome(0, Failure(program, stopped))
    status = run.status if run.status >= 0 else 128 - run.status
    if status != expected_status:
        return Outcome(0, Failure(program, "ended with status {}; it should end with {}.".format(
            status, expected_status)))
    with open(check.expected, "rb") as file:
        expected = file.read()
    if run.stdout != expected:
        return Outcome(0, Failure(
            program, "prints other output than {}:".format(context.tree.shown(check.expected)),
            details=first_difference(expected, run.stdout)))
    return Outcome(1, None)


RUNNERS = {"tests": run_tests, "passes": run_passes, "catches": run_catches,
           "output": run_output}


def run_all(checks, context):
    """Runs the checks in order until one fails."""
    passed = 0
    for index, check in enumerate(checks):
        sub = Context(context.tree, context.own, context.seconds,
                      os.path.join(context.run_dir, str(index)))
        outcome = RUNNERS[check.kind](check, sub)
        passed += outcome.passed
        if outcome.failure:
            return Outcome(passed, outcome.failure)
    return Outcome(passed, None)
