"""What a GoogleTest program reported, as data: its JSON report
(--gtest_output=json:), written when the program ends, and the event log
that testing/test_events.h writes as the tests run, which still says which
test was running when a program crashed or was stopped."""

import json
import re
from dataclasses import dataclass, field
from typing import List, Optional

# A failure in GoogleTest's report begins with the place it names:
# "<file>:<line>\n", or "unknown file\n" for one raised outside any check.
_PLACE = re.compile(r"^(.*?):(\d+)$")


@dataclass
class Failure:
    """One failed expectation: where, and GoogleTest's own text."""
    file: Optional[str]
    line: int
    message: str


@dataclass
class TestResult:
    name: str                      # Suite.Test
    passed: bool
    failures: List[Failure] = field(default_factory=list)


@dataclass
class Report:
    """A program's whole run: every test that ran, in order."""
    tests: List[TestResult]

    @property
    def total(self):
        return len(self.tests)

    @property
    def passed(self):
        return sum(1 for test in self.tests if test.passed)

    def first_failed(self):
        return next((test for test in self.tests if not test.passed), None)


def _failure(text):
    head, _, rest = text.partition("\n")
    match = _PLACE.match(head)
    if match:
        return Failure(match.group(1), int(match.group(2)), rest)
    return Failure(None, 0, rest if head == "unknown file" else text)


def parse_report(text):
    """The report from GoogleTest's JSON; None when it is not one (a program
    that ended before writing it)."""
    try:
        data = json.loads(text)
    except json.JSONDecodeError:
        return None
    if not isinstance(data, dict) or "testsuites" not in data:
        return None
    tests = []
    for suite in data["testsuites"]:
        for test in suite.get("testsuite", []):
            if test.get("status") != "RUN" or test.get("result") == "SKIPPED":
                continue
            failures = [_failure(f.get("failure", "")) for f in test.get("failures", [])]
            tests.append(TestResult("{}.{}".format(suite["name"], test["name"]),
                                    not failures, failures))
    return Report(tests)


@dataclass
class Events:
    """What the event log says of a run that may have ended early."""
    finished: List[TestResult]
    running: Optional[str]         # the test that started and never ended
    running_failures: List[Failure]


def parse_events(text):
    """The event log's lines (one JSON object each); a line cut short by a
    crash is passed over."""
    finished, running, failures = [], None, []
    for line in text.splitlines():
        try:
            event = json.loads(line)
        except json.JSONDecodeError:
            continue
        kind = event.get("event")
        if kind == "start":
            running, failures = event["test"], []
        elif kind == "failure":
            failures.append(Failure(event.get("file") or None, event.get("line", 0),
                                    event.get("message", "")))
        elif kind == "end":
            finished.append(TestResult(event["test"], event.get("passed", False), failures))
            running, failures = None, []
    return Events(finished, running, failures)
