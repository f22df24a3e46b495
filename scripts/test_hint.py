#!/usr/bin/env python3
"""The hint scripts/test gives after a failed run, chosen from structure:

    test_hint.py <build folder> <preset>

ctest's own record of the run (ctest -T Test writes Testing/<tag>/Test.xml)
says how each test ended: "Failed", "Timeout", or a crash ("SEGFAULT",
"Subprocess aborted", ...). A GoogleTest test whose bounded wait gave up
records the property wait_gave_up (testing/bounded_wait.h) in its own XML
report (gtest_discover_tests' XML_OUTPUT_DIR, Testing/gtest/<test>.xml): such
a failure is a wait that never woke, as a time-out is, only caught sooner.
An output test whose expected file does not exist yet needs no hint: it
printed the line that puts the output in place. The hint goes to standard
error; the exit status is 0."""

import os
import shlex
import sys
import xml.etree.ElementTree as ElementTree

WAIT_GAVE_UP = "wait_gave_up"

TIMED_OUT = ("A test ran out of time or a bounded wait gave up: a wait that never woke, "
             "a notify that is missing or a thread that never ended.")
TSAN = ("./scripts/test tsan runs the threaded tests under ThreadSanitizer, which names races "
        "and misused locks.")
ASAN = "A crash or a strange value? ./scripts/test asan names the line."


def failed_tests(build):
    """(name, how it ended, its command line) of each test that failed in the
    last run, from ctest's Test.xml."""
    testing = os.path.join(build, "Testing")
    with open(os.path.join(testing, "TAG"), encoding="utf-8") as tag:
        folder = tag.readline().strip()
    root = ElementTree.parse(os.path.join(testing, folder, "Test.xml")).getroot()
    found = []
    for test in root.iter("Test"):
        if test.get("Status") != "failed":
            continue
        measured = {m.get("name"): m.findtext("Value") for m in test.iter("NamedMeasurement")}
        found.append((test.findtext("Name"), measured.get("Exit Code", ""),
                      test.findtext("FullCommandLine") or ""))
    return found


def wait_gave_up(build, name):
    """Whether the test's own GoogleTest report records a wait that gave up."""
    path = os.path.join(build, "Testing", "gtest", name + ".xml")
    try:
        root = ElementTree.parse(path).getroot()
    except (OSError, ElementTree.ParseError):
        return False
    return any(p.get("name") == WAIT_GAVE_UP for p in root.iter("property"))


def expected_missing(command_line):
    """Whether an output test's expected file (-DEXPECTED=) does not exist."""
    try:
        words = shlex.split(command_line)
    except ValueError:
        return False
    for word in words:
        if word.startswith("-DEXPECTED="):
            expected = word[len("-DEXPECTED="):]
            return bool(expected) and not os.path.exists(expected)
    return False


def hints(build, preset):
    timed_out = crashed = wrong = False
    for name, ended, command_line in failed_tests(build):
        if ended == "Timeout":
            timed_out = True
        elif ended != "Failed":
            crashed = True
        elif wait_gave_up(build, name):
            timed_out = True
        elif not expected_missing(command_line):
            wrong = True
    lines = []
    if timed_out:
        lines.append(TIMED_OUT)
        if preset != "tsan":
            lines.append(TSAN)
        # Beside it, another failed check most likely comes of the same
        # missing wake-up: only a crash adds the next hint.
        wrong = False
    if (crashed or wrong) and preset != "asan":
        lines.append(ASAN)
    return lines


def main(argv):
    if len(argv) != 2:
        print("usage: test_hint.py <build folder> <preset>", file=sys.stderr)
        return 2
    try:
        lines = hints(argv[0], argv[1])
    except (OSError, ElementTree.ParseError) as error:
        lines = ["(No hint: ctest's record of the run cannot be read: {}.)".format(error)]
    for line in lines:
        print(line, file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
