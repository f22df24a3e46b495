"""Runs the checks of one variant of an exercise and says, as data, how the
first one that failed failed. Every conclusion comes from structure: the
exit status (a time-out, a signal, a sanitizer's own status), GoogleTest's
JSON report, the event log of the tests that ran, the sanitizer's report,
and for an output the bytes it printed."""

import concurrent.futures
import os
import shutil
from dataclasses import dataclass
from typing import Optional

from . import gtest, sanitizer
from .diagnostics import source_line
from .running import Run, run_bounded
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
    time-out, a folder for the run's files, and how many processes a test
    program's tests are shared out to."""

    def __init__(self, tree, own_file, seconds, run_dir, shards=1):
        self.tree = tree
        self.own = tree.resolve(own_file)
        self.seconds = seconds
        self.run_dir = run_dir
        self.shards = shards

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


def _ended_early(run, context, log_dir):
    """How a run that did not end on its own terms ended: (what stopped it,
    None) for the time-out or a signal, (None, the report) for a sanitizer
    (whose logs are in `log_dir`), (None, None) for a run that ended on its
    own."""
    if run.timed_out:
        return "was stopped after {} s: a wait did not wake (or a loop never ended).".format(
            context.seconds), None
    found = sanitizer.find(run.status, log_dir, run.stderr)
    if found:
        return None, found
    if run.status < 0:
        return "crashed ({}).".format(run.signal_name()), None
    return None, None


@dataclass
class _Shard:
    """One process of a test program: the tests k, k + n, k + 2n... of the
    program's own order, as GoogleTest's sharding deals them out."""
    index: int
    directory: str
    run: Run
    report: Optional[gtest.Report]
    events: gtest.Events

    def names(self):
        """The shard's tests in the order they ran: its event log says so of
        every test that started (skipped ones too); its report where there
        is no log."""
        names = [test.name for test in self.events.finished]
        if self.events.running:
            names.append(self.events.running)
        if not names and self.report:
            names = [test.name for test in self.report.tests]
        return names


def _run_shards(check, context, directory):
    """Runs the program in context.shards processes at once, each with its
    own report, event log and sanitizer logs."""
    total = context.shards

    def run(index):
        place = _fresh(os.path.join(directory, "shard{}".format(index)))
        report_path = os.path.join(place, "report.json")
        events_path = os.path.join(place, "events.jsonl")
        env = {"PELTRA_TEST_EVENTS": events_path, "GTEST_COLOR": "no",
               "GTEST_TOTAL_SHARDS": str(total), "GTEST_SHARD_INDEX": str(index),
               **sanitizer.environment(place)}
        done = run_bounded([check.program, "--gtest_output=json:" + report_path],
                           os.path.dirname(check.program), env, context.seconds)
        report = gtest.parse_report(_read(report_path)) if os.path.exists(report_path) else None
        return _Shard(index, place, done, report, gtest.parse_events(_read(events_path)))

    if total == 1:
        return [run(0)]
    with concurrent.futures.ThreadPoolExecutor(total) as pool:
        return list(pool.map(run, range(total)))


def run_gtest(check, context):
    """Runs a GoogleTest program, its tests in shards at once; returns (the
    report of the tests that ended, in the program's order, or None; Failure
    or None). The verdict is that of one run in order: a run that ended
    early names the test that was running, and a test that failed before it
    first, that being the one to fix; what came after it in the program's
    order does not count."""
    shards = _run_shards(check, context, _fresh(context.run_dir))
    place = {}
    for shard in shards:
        for number, name in enumerate(shard.names()):
            place.setdefault(name, number * len(shards) + shard.index)
    last = len(place)
    ended = [test for shard in shards for test in
             (shard.report.tests if shard.report else shard.events.finished)]
    report = gtest.Report(sorted(ended, key=lambda test: place.get(test.name, last)))
    stops = []
    for shard in shards:
        stopped, found = _ended_early(shard.run, context, shard.directory)
        if stopped or found:
            what = shard.events.running or (
                check.name if shard.report is None else "the test program, at its end,")
            failure = (Failure(what, stopped) if stopped else
                       _sanitizer_failure(found, what, context))
            stops.append((place.get(shard.events.running, last), shard.index, failure))
    if stops:
        at, _, failure = min(stops, key=lambda stop: stop[:2])
        failed = [test for test in report.tests if not test.passed]
        failed += [gtest.TestResult(shard.events.running, False, shard.events.running_failures)
                   for shard in shards if shard.events.running_failures]
        earlier = min((test for test in failed if place.get(test.name, last) <= at),
                      key=lambda test: place.get(test.name, last), default=None)
        if earlier is not None:
            first = _gtest_failure(earlier, context, "fails:")
            # What stopped the run keeps its place in the student's file.
            where = ["  " + failure.location] if failure.location else []
            first.details += ["", "Then {} {}".format(failure.check, failure.summary)] + \
                where + failure.details
            failure = first
        return report, failure
    for shard in shards:
        if shard.report is None:
            return None, Failure(check.name, "ended with status {} and wrote no report.".format(
                shard.run.status), details=shard.run.stderr.splitlines()[-5:])
    for shard in shards:
        if shard.run.status != 0 and shard.report.first_failed() is None:
            return report, Failure(check.name, "ended with status {} though every test passed."
                                   .format(shard.run.status),
                                   details=shard.run.stderr.splitlines()[-5:])
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
    stopped, found = _ended_early(run, context, directory)
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
    """Runs the checks, as many at once as context.shards says (a lone test
    program shares its tests out instead), and judges them as one run in
    order would: the checks before the first that fails count, and its
    failure is the verdict. On a single core they run one by one, up to the
    first that fails."""
    at_once = max(1, min(context.shards, len(checks)))

    def run(index):
        sub = Context(context.tree, context.own, context.seconds,
                      os.path.join(context.run_dir, str(index)),
                      max(1, context.shards // max(1, len(checks))))
        return RUNNERS[checks[index].kind](checks[index], sub)

    if at_once == 1:
        outcomes = map(run, range(len(checks)))
    else:
        with concurrent.futures.ThreadPoolExecutor(at_once) as pool:
            outcomes = list(pool.map(run, range(len(checks))))
    passed = 0
    for outcome in outcomes:
        passed += outcome.passed
        if outcome.failure:
            return Outcome(passed, outcome.failure)
    return Outcome(passed, None)
