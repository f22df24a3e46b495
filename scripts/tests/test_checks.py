"""Tests of how a check's run becomes its outcome: from the report, the event
log, the exit status and the sanitizer's log of fake test programs."""

import json
import os
import unittest

from exercise_tool import checking, checks, declaration, sanitizer
from exercise_tool.build import Check, Variant
from exercise_tool.verdict import NO_COMPILE, NOT_YET, render

from fakes import TreeTest, fake_program, gtest_report, sharded_program

FAILURE = "../../data/tests/summation_test.cpp:15\nExpected equality of these values:\n" \
          "  -4.75\n  sum(one)\n    Which is: 0"


class GoogleTestRunTest(TreeTest):
    def run_check(self, kind="tests", seconds=20, faulty=(), **program):
        path = fake_program(self.root, "program", **program)
        context = checks.Context(self.tree, "data/exercises/sum.cpp", seconds,
                                 os.path.join(self.root, "run"))
        return checks.RUNNERS[kind](Check(kind, "sum_tests", path, faulty=faulty), context)

    # Tests a report: every test passes, or the first failing test with
    # where it failed, what it expected and what came out.
    def test_report(self):
        outcome = self.run_check(report=gtest_report(("SumTest.Values", []), ("SumTest.Order", [])))
        self.assertEqual((2, None), (outcome.passed, outcome.failure))
        outcome = self.run_check(exit_status=1, report=gtest_report(
            ("SumTest.Values", [FAILURE]), ("SumTest.Order", [])))
        self.assertEqual(1, outcome.passed)
        self.assertEqual("SumTest.Values", outcome.failure.check)
        self.assertEqual("fails (1 of 2 tests pass):", outcome.failure.summary)
        self.assertEqual("data/tests/summation_test.cpp:15", outcome.failure.location)
        self.assertEqual("    Which is: 0", outcome.failure.details[-1])

    # Tests a program stopped at its time-out: the test that was running is
    # named, though no report was written.
    def test_hang_names_the_running_test(self):
        outcome = self.run_check(seconds=1, sleep=30, events=[
            {"event": "start", "test": "SumTest.Values"}])
        self.assertEqual("SumTest.Values", outcome.failure.check)
        self.assertIn("was stopped after 1 s", outcome.failure.summary)

    # Tests a crash after an earlier test failed: the failure is the one to
    # fix, and the crash follows it.
    def test_crash_after_a_failure(self):
        outcome = self.run_check(signal_name="SIGSEGV", events=[
            {"event": "start", "test": "SumTest.Values"},
            {"event": "failure", "test": "SumTest.Values", "file": "x.cpp", "line": 3,
             "message": "Expected 1"},
            {"event": "end", "test": "SumTest.Values", "passed": False},
            {"event": "start", "test": "SumTest.Order"}])
        self.assertEqual("SumTest.Values", outcome.failure.check)
        self.assertIn("Then SumTest.Order crashed (SIGSEGV).", outcome.failure.details)

    # Tests a sanitizer's stop: named by its exit status, the line of the
    # student's file read from its frames.
    def test_sanitizer_names_the_students_line(self):
        own = os.path.join(self.root, "data/exercises/sum.cpp")
        log = ("==7==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x6\n"
               "@frame|0|8|3|/usr/include/c++/12/bits/stl_vector.h|operator[]\n"
               "@frame|1|2|5|{}|sum(std::vector<double>&)\n".format(own))
        outcome = self.run_check(exit_status=sanitizer.ASAN_EXIT, asan_log=log, events=[
            {"event": "start", "test": "SumTest.Values"}])
        self.assertEqual("SumTest.Values", outcome.failure.check)
        self.assertEqual("was stopped by AddressSanitizer:", outcome.failure.summary)
        self.assertEqual("data/exercises/sum.cpp:2 (in sum(std::vector<double>&))",
                         outcome.failure.location)
        self.assertEqual(["ERROR: AddressSanitizer: heap-buffer-overflow on address 0x6",
                          "    2 |   // Add them up."], outcome.failure.details)
        # After a test that failed first, the stop still names the line.
        outcome = self.run_check(exit_status=sanitizer.ASAN_EXIT, asan_log=log, events=[
            {"event": "start", "test": "SumTest.Values"},
            {"event": "failure", "test": "SumTest.Values", "file": "x.cpp", "line": 3,
             "message": "Expected 1"},
            {"event": "end", "test": "SumTest.Values", "passed": False},
            {"event": "start", "test": "SumTest.Order"}])
        self.assertEqual("SumTest.Values", outcome.failure.check)
        self.assertIn("  data/exercises/sum.cpp:2 (in sum(std::vector<double>&))",
                      outcome.failure.details)

    # Tests a program that fails outside every test: without a report, or
    # with one in which every test passed.
    def test_fails_outside_the_tests(self):
        outcome = self.run_check(exit_status=3)
        self.assertEqual("ended with status 3 and wrote no report.", outcome.failure.summary)
        outcome = self.run_check(exit_status=1, report=gtest_report(("SumTest.Values", [])))
        self.assertEqual("ended with status 1 though every test passed.",
                         outcome.failure.summary)

    # Tests the student's checks: they must pass on the real component and
    # fail on a faulty one.
    def test_catches(self):
        passing = gtest_report(("RootTest.Zero", []))
        failing = gtest_report(("RootTest.Zero", ["t.cpp:4\nExpected 0"]))
        self.assertIsNone(self.run_check("passes", report=passing).failure)
        outcome = self.run_check("passes", report=failing, exit_status=1)
        self.assertTrue(outcome.failure.check.startswith("Your checks must pass on the real"))
        self.assertEqual((1, None), tuple(vars(self.run_check(
            "catches", report=failing, exit_status=1)).values()))
        close = (os.path.join(self.root, "numeric/close.cpp"),)
        outcome = self.run_check("passes", report=failing, exit_status=1, faulty=close)
        self.assertEqual("Your checks must pass on a component off only as far as the checks "
                         "allow (numeric/close.cpp), but RootTest.Zero", outcome.failure.check)
        outcome = self.run_check("catches", report=passing,
                                 faulty=(os.path.join(self.root, "numeric/faulty.cpp"),))
        self.assertIn("all pass on a faulty component (numeric/faulty.cpp)",
                      outcome.failure.summary)


class ShardsTest(TreeTest):
    """A test program's tests shared out to processes that run at once; the
    verdict is still that of one run in the program's order."""

    def run_shards(self, tests, shards=2):
        path = sharded_program(self.root, "program", tests)
        context = checks.Context(self.tree, "data/exercises/sum.cpp", 20,
                                 os.path.join(self.root, "run"), shards)
        return checks.run_tests(Check("tests", "sum_tests", path), context)

    # Tests that the reports of all shards count, and that the first test to
    # fail in the program's order is named, whichever shard ran it.
    def test_first_failure_in_order(self):
        tests = [{"name": "A.T{}".format(n)} for n in range(5)]
        tests[3]["failures"] = ["t.cpp:3\nthird"]
        tests[2]["failures"] = ["t.cpp:2\nsecond"]
        for shards in (1, 2, 3):
            outcome = self.run_shards(tests, shards)
            self.assertEqual(("A.T2", "fails (3 of 5 tests pass):", 3), (
                outcome.failure.check, outcome.failure.summary, outcome.passed), shards)
        del tests[2]["failures"], tests[3]["failures"]
        self.assertEqual((5, None), (self.run_shards(tests).passed, None))

    # Tests a crash in one shard: a test that failed before it in the
    # program's order comes first; one after it does not count.
    def test_crash_and_failures_around_it(self):
        tests = [{"name": "A.T{}".format(n)} for n in range(5)]
        tests[2]["crash"] = "SIGSEGV"
        tests[3]["failures"] = ["t.cpp:3\nafter the crash"]
        failure = self.run_shards(tests).failure
        self.assertEqual(("A.T2", "crashed (SIGSEGV)."), (failure.check, failure.summary))
        tests[1]["failures"] = ["t.cpp:1\nbefore the crash"]
        failure = self.run_shards(tests).failure
        self.assertEqual(("A.T1", "before the crash"), (failure.check, failure.details[0]))
        self.assertIn("Then A.T2 crashed (SIGSEGV).", failure.details)

    # Tests several check programs run at once: the first that fails in
    # their order is the verdict, and only the checks before it count.
    def test_checks_at_once(self):
        tests = [{"name": "A.One"}, {"name": "A.Two", "failures": ["t.cpp:2\nsecond"]}]
        checks_ = [Check("tests", "p{}".format(n), sharded_program(self.root, "p{}".format(n),
                                                                   tests[:n + 1]))
                   for n in (0, 1, 1)]
        for shards in (1, 2, 3):
            context = checks.Context(self.tree, "data/exercises/sum.cpp", 20,
                                     os.path.join(self.root, "run"), shards)
            outcome = checks.run_all(checks_, context)
            self.assertEqual(("A.Two", 2), (outcome.failure.check, outcome.passed), shards)


class OutputTest(TreeTest):
    def run_output(self, stdout, expected, exit_status=0, expected_status=0):
        path = fake_program(self.root, "program", stdout=stdout, exit_status=exit_status)
        self.write("expected.txt", expected)
        check = Check("output", "program.output", path, os.path.join(self.root, "expected.txt"),
                      expected_status)
        context = checks.Context(self.tree, "data/exercises/sum.cpp", 20,
                                 os.path.join(self.root, "run"))
        return checks.run_output(check, context)

    # Tests the bytes and the exit status of a program.
    def test_output(self):
        self.assertEqual(1, self.run_output("one two\n", "one two\n").passed)
        failure = self.run_output("one two\n", "one three\n").failure
        self.assertIn("prints other output than expected.txt", failure.summary)
        self.assertEqual('line 1 printed:  "one two"', failure.details[1])
        failure = self.run_output("x\n", "x\n", exit_status=1).failure
        self.assertEqual("ended with status 1; it should end with 0.", failure.summary)
        self.assertIsNone(self.run_output("", "", exit_status=255, expected_status=255).failure)

    # Tests the first difference: blanks at the end of a line are named, and
    # so are a missing line and a missing final line break.
    def test_first_difference(self):
        self.assertEqual(['line 1 expected: "a "', 'line 1 printed:  "a"',
                          "(they differ in the blanks at the end of the line: 1 expected, "
                          "0 printed)"], checks.first_difference(b"a \n", b"a\n"))
        self.assertEqual(["line 2 expected: \"b\"",
                          "line 2 printed:  (nothing: the output ends before)"],
                         checks.first_difference(b"a\nb", b"a"))
        self.assertEqual(["the lines are the same; the line break at the very end is not"],
                         checks.first_difference(b"a\n", b"a"))


def _error(file, line, message):
    """An error as GCC's JSON gives it."""
    return {"kind": "error", "message": message,
            "locations": [{"caret": {"file": file, "line": line, "column": 1}}]}


class CompileVerdictTest(TreeTest):
    """A variant whose compile failed, judged from the launcher's records: a
    test whose own checks run as it compiles (static_assert) and fail is a
    failing check; an error anywhere else is one of the student's."""

    def judge(self, *compiles, failed_log=None):
        test = self.write("data/tests/summation_test.cpp", "static_assert(false, \"sum\");\n")
        objects = []
        for number, diagnostics in enumerate(compiles):
            objects.append(os.path.join(self.root, "{}.o".format(number)))
            with open(objects[-1] + ".diagnostics.json", "w") as file:
                json.dump({"status": 1 if diagnostics else 0, "diagnostics": diagnostics}, file)
        own = os.path.join(self.root, "data/exercises/sum.cpp")
        variant = Variant("exercise_sum_starter", own, objects, [], [], check_files=[test])
        exercise = declaration.load(self.root).named("sum")
        return checking.judge(self.tree, exercise, variant, failed_log=failed_log)

    # Tests a static_assert of the tests that fails: "not yet", with its
    # message, the lesson's words.
    def test_check_of_the_compiler(self):
        test = os.path.join(self.root, "data/tests/summation_test.cpp")
        verdict = self.judge([], [_error(test, 1, "static assertion failed: sum is pure"),
                                     _error(test, 4, "static assertion failed: later")])
        self.assertEqual(NOT_YET, verdict.state)
        shown = "\n".join(render(verdict, self.tree.shown))
        self.assertIn("The check at data/tests/summation_test.cpp:1 fails as it compiles:\n"
                      "    data/tests/summation_test.cpp:1:1: error: static assertion failed: "
                      "sum is pure", shown)
        self.assertNotIn("later", shown)

    # Tests errors that are the student's to mend: in the student's file,
    # or in another file than a test's (the lesson's other files).
    def test_errors_of_the_student(self):
        own = os.path.join(self.root, "data/exercises/sum.cpp")
        test = os.path.join(self.root, "data/tests/summation_test.cpp")
        for compiles in ([[_error(own, 2, "expected ';'")], [_error(test, 1, "failed")]],
                         [[_error(os.path.join(self.root, "data/summation.cpp"), 2, "no")]]):
            verdict = self.judge(*compiles)
            self.assertEqual(NO_COMPILE, verdict.state, compiles)
        # A build that failed where no record says why: its log's last lines.
        log = self.write("build.log", "FAILED: lesson.o\n")
        verdict = self.judge([], failed_log=log)
        self.assertEqual(NO_COMPILE, verdict.state)
        self.assertIn("FAILED: lesson.o", verdict.link_errors[0])


if __name__ == "__main__":
    unittest.main()
