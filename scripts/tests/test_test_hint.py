"""Tests of the hint scripts/test gives, from ctest's record of a run and the
tests' own XML reports."""

import os
import shutil
import tempfile
import unittest
from xml.sax.saxutils import escape

import test_hint

TEST = """<Test Status="{status}"><Name>{name}</Name><FullCommandLine>{command}</FullCommandLine>
<Results><NamedMeasurement type="text/string" name="Exit Code"><Value>{ended}</Value>
</NamedMeasurement></Results></Test>"""
GAVE_UP = """<testsuites><testsuite name="A"><testcase name="Waits"><properties>
<property name="wait_gave_up" value="getBaseData did not return within 5000 ms"/>
</properties></testcase></testsuite></testsuites>"""


class HintTest(unittest.TestCase):
    def setUp(self):
        self.build = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.build)
        os.makedirs(os.path.join(self.build, "Testing", "20260101-1200"))
        os.makedirs(os.path.join(self.build, "Testing", "gtest"))
        with open(os.path.join(self.build, "Testing", "TAG"), "w") as tag:
            tag.write("20260101-1200\nExperimental\n")

    def run_with(self, *tests, preset="default"):
        """tests: (name, how it ended, command line) of failed ones."""
        body = "".join(TEST.format(status="failed", name=n, ended=e, command=escape(c))
                       for n, e, c in tests)
        body += TEST.format(status="passed", name="A.Fine", ended="", command="")
        with open(os.path.join(self.build, "Testing", "20260101-1200", "Test.xml"), "w") as f:
            f.write("<Site><Testing>{}</Testing></Site>".format(body))
        return test_hint.hints(self.build, preset)

    # Tests each way a test ends: a time-out or a wait that gave up (its
    # report's property), a crash, a wrong value, a missing expected output.
    def test_hints(self):
        with open(os.path.join(self.build, "Testing", "gtest", "A.Waits.xml"), "w") as report:
            report.write(GAVE_UP)
        self.assertEqual([test_hint.TIMED_OUT, test_hint.TSAN],
                         self.run_with(("A.Waits", "Failed", "a.out"), ("A.Wrong", "Failed", "")))
        self.assertEqual([test_hint.TIMED_OUT, test_hint.TSAN],
                         self.run_with(("A.Slow", "Timeout", "")))
        self.assertEqual([test_hint.TIMED_OUT], self.run_with(("A.Slow", "Timeout", ""),
                                                              preset="tsan"))
        self.assertEqual([test_hint.ASAN], self.run_with(("A.Crash", "SEGFAULT", "")))
        self.assertEqual([test_hint.ASAN], self.run_with(("A.Wrong", "Failed", "")))
        self.assertEqual([], self.run_with(("A.Wrong", "Failed", ""), preset="asan"))
        missing = 'cmake "-DEXPECTED={}/nowhere.txt" -P run.cmake'.format(self.build)
        self.assertEqual([], self.run_with(("p.output", "Failed", missing)))
        self.assertEqual([], self.run_with())


if __name__ == "__main__":
    unittest.main()
