"""Tests of reading the structured reports: GoogleTest's JSON and the event
log, the sanitizers' reports, the compiler's JSON diagnostics and the
launcher that keeps them."""

import contextlib
import io
import json
import os
import shutil
import sys
import tempfile
import unittest

from exercise_tool import diagnostics, gtest, launcher, sanitizer


class GoogleTestTest(unittest.TestCase):
    # Tests the report: tests in order, skipped and disabled ones left out,
    # a failure's place read from its first line ("unknown file" has none).
    def test_report(self):
        report = gtest.parse_report(json.dumps({"testsuites": [{"name": "A", "testsuite": [
            {"name": "Ok", "status": "RUN", "result": "COMPLETED"},
            {"name": "Skip", "status": "RUN", "result": "SKIPPED"},
            {"name": "Off", "status": "NOTRUN", "result": "SUPPRESSED"},
            {"name": "Bad", "status": "RUN", "result": "COMPLETED", "failures": [
                {"failure": "a/b.cpp:12\nExpected: 1"}, {"failure": "unknown file\nthrew"}]},
        ]}]}))
        self.assertEqual(["A.Ok", "A.Bad"], [t.name for t in report.tests])
        self.assertEqual((1, 2), (report.passed, report.total))
        bad = report.first_failed()
        self.assertEqual(("a/b.cpp", 12, "Expected: 1"),
                         (bad.failures[0].file, bad.failures[0].line, bad.failures[0].message))
        self.assertEqual((None, "threw"), (bad.failures[1].file, bad.failures[1].message))
        self.assertIsNone(gtest.parse_report("{\"tests\": 1, \"testsu"))

    # Tests the event log of a run cut short: the test still running, its
    # failures so far, and a last line the crash cut in half.
    def test_events(self):
        lines = [{"event": "start", "test": "A.One"}, {"event": "end", "test": "A.One",
                                                       "passed": True},
                 {"event": "start", "test": "A.Two"},
                 {"event": "failure", "test": "A.Two", "file": "t.cpp", "line": 4,
                  "message": "m"}]
        events = gtest.parse_events("\n".join(map(json.dumps, lines)) + '\n{"event": "en')
        self.assertEqual(["A.One"], [t.name for t in events.finished])
        self.assertEqual("A.Two", events.running)
        self.assertEqual([("t.cpp", 4)], [(f.file, f.line) for f in events.running_failures])


class SanitizerTest(unittest.TestCase):
    def setUp(self):
        self.logs = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.logs)

    # Tests AddressSanitizer's report: from its log file, by its exit status
    # only, its headline and its frames.
    def test_address(self):
        with open(os.path.join(self.logs, "asan.123"), "w") as log:
            log.write("=====\n==123==ERROR: AddressSanitizer: heap-use-after-free on x\n"
                      "@frame|0|19|7|/src/walk.cpp|walk(cv::Mat&)\n"
                      "@frame|1|44|0|/src/a|b.cpp|main\n")
        self.assertIsNone(sanitizer.find(1, self.logs, ""))
        report = sanitizer.find(sanitizer.ASAN_EXIT, self.logs, "")
        self.assertEqual("ERROR: AddressSanitizer: heap-use-after-free on x", report.headline)
        self.assertEqual(("/src/walk.cpp", 19, "walk(cv::Mat&)"),
                         (report.frames[0].file, report.frames[0].line, report.frames[0].function))
        self.assertEqual("b.cpp|main", report.frames[1].function)
        self.assertEqual(44, report.first_frame_in(lambda f: f.startswith("/src/a")).line)

    # Tests UBSan's report, read from standard error: the line before its
    # first frame is its headline; without frames there is no report.
    def test_undefined(self):
        stderr = ("some output\nsum.cpp:3:36: runtime error: signed integer overflow\n"
                  "@frame|0|3|0|/src/sum.cpp|add(int, int)\n")
        report = sanitizer.find(sanitizer.UBSAN_EXIT, self.logs, stderr)
        self.assertEqual("sum.cpp:3:36: runtime error: signed integer overflow", report.headline)
        self.assertIsNone(sanitizer.find(sanitizer.UBSAN_EXIT, self.logs, "no frames\n"))

    # Tests that the options name the log folder and the frame format.
    def test_environment(self):
        options = sanitizer.environment(self.logs)
        self.assertIn('log_path="{}/asan"'.format(self.logs), options["ASAN_OPTIONS"])
        self.assertIn("exitcode={}".format(sanitizer.UBSAN_EXIT), options["UBSAN_OPTIONS"])
        self.assertIn("@frame|", options["ASAN_OPTIONS"])
        self.assertTrue(os.path.exists(sanitizer.SUPPRESSIONS))


GCC = [{"kind": "warning", "message": "this statement may fall through",
        "option": "-Wimplicit-fallthrough=",
        "locations": [{"caret": {"file": "sw.cpp", "line": 2, "column": 5},
                       "finish": {"file": "sw.cpp", "line": 2, "column": 8}}]},
       {"kind": "error", "message": "no match for 'operator<<'",
        "locations": [{"caret": {"file": "/usr/include/x.h", "line": 9, "column": 1}}],
        "children": [{"kind": "note", "message": "required from here",
                      "locations": [{"caret": {"file": "sw.cpp", "line": 1, "column": 3}}]}]}]


class DiagnosticsTest(unittest.TestCase):
    # Tests GCC's JSON read: places made real, an error elsewhere traced to
    # the student's line by its note, and shown with the line and a mark.
    def test_read_and_render(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        own = os.path.join(folder, "sw.cpp")
        with open(own, "w") as file:
            file.write("int x;\n    a = b;\n")
        found = diagnostics.from_gcc(GCC, lambda p: os.path.join(folder, p), own)
        warning, error = found
        self.assertEqual((own, 2, 5, 8), (warning.file, warning.line, warning.column,
                                          warning.end_column))
        self.assertFalse(warning.is_error())
        self.assertEqual((own, 1), (error.origin.file, error.origin.line))
        lines = diagnostics.render(warning, os.path.basename)
        self.assertEqual(["  sw.cpp:2:5: warning: this statement may fall through "
                          "[-Wimplicit-fallthrough=]",
                          "      2 |     a = b;",
                          "        |     ^~~~"], lines)
        self.assertEqual(error, diagnostics.Diagnostic.from_dict(error.to_dict()))


class LauncherTest(unittest.TestCase):
    # Tests a compile through the launcher: the diagnostics kept beside the
    # object as data, the compiler's status passed on; text that is not JSON
    # is kept too.
    def test_compile_record(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        obj = os.path.join(folder, "x.o")
        compiler = "import sys; sys.stderr.write({!r} + '\\ncc1plus: killed\\n'); sys.exit(1)"\
            .format(json.dumps(GCC[:1]))
        with contextlib.redirect_stderr(io.StringIO()) as said:
            status = launcher.main(["compile", sys.executable, "-c", compiler, "-o", obj])
        self.assertIn("sw.cpp:2:5: warning: this statement may fall through", said.getvalue())
        self.assertEqual(1, status)
        with open(obj + ".diagnostics.json") as file:
            record = json.load(file)
        self.assertEqual(1, record["status"])
        self.assertEqual(["warning", "text"], [d["kind"] for d in record["diagnostics"]])
        self.assertEqual(obj, launcher.output_of(["g++", "-o", obj, "-c", "x.cpp"]))


if __name__ == "__main__":
    unittest.main()
