"""Tests of verify's logic, with the build and the checks faked: what fails
verify and what does not, and that it builds in rounds."""

import json
import os
import unittest
from unittest import mock

from exercise_tool import build, declaration, verify
from exercise_tool.verdict import DONE, NO_COMPILE, NOT_YET, Failure, Verdict

from fakes import TreeTest, course, entry

WRONG = [{"name": "starts at one", "replace": "total = 0.0", "with": "total = 1.0"},
         {"name": "adds nothing", "replace": "total = number + total", "with": "total = total"},
         {"name": "forgets to return", "replace": "return total;", "with": "return 0.0;"}]


class VerifyTest(TreeTest):
    def setUp(self):
        super().setUp()
        self.starter_state = NOT_YET
        self.passing_trials = ()  # texts that make a trial pass
        self.builds = []

    def fake_judge(self, tree, exercise, variant, started):
        kind = variant.target.rsplit("_", 1)[1]
        if kind == "starter":
            return Verdict(exercise.name, self.starter_state, failure=Failure(
                "SumTest.Values", "fails (0 of 2 tests pass):", details=["Which is: 0"]))
        if kind == "trial":
            with open(variant.file) as file:
                text = file.read()
            if not any(t in text for t in self.passing_trials):
                return Verdict(exercise.name, NOT_YET, failure=Failure("SumTest.Order", "fails"))
        return Verdict(exercise.name, DONE, 2, 2)

    def verify(self, *entries, ci=False, left_out=()):
        self.write("exercises.json", json.dumps(course(*entries)))
        parsed = declaration.load(self.root)
        manifest = {}
        for exercise in parsed.exercises:
            variants = {v: build.Variant("exercise_{}_{}".format(exercise.name, v),
                                         os.path.join(self.root, "trial_" + exercise.name)
                                         if v == "trial" else exercise.starter, [], [], [])
                        for v in ("starter", "solution", "trial")}
            manifest[exercise.name] = build.Entry(
                list(left_out) if exercise.name == "sum" else [], variants)
        lines = []

        def fake_build(tree, targets, keep_going=False):
            self.builds.append(list(targets))
            return build.BuildResult(0, 0.0, "build.log")
        with mock.patch.multiple(build, read_manifest=mock.DEFAULT, build=mock.DEFAULT) as fakes, \
                mock.patch.object(verify.checking, "judge", self.fake_judge):
            fakes["read_manifest"].return_value = manifest
            fakes["build"].side_effect = fake_build
            ok = verify.verify(self.tree, parsed.exercises, ci, lines.append)
        return ok, "\n".join(lines)

    # Tests an exercise that holds: every line says what caught what, and
    # the build ran in rounds: starters and solutions, then each wrong answer.
    def test_holds(self):
        ok, said = self.verify(entry(wrong=WRONG))
        self.assertTrue(ok, said)
        self.assertIn('"starts at one": SumTest.Order fails', said)
        self.assertEqual([["build.ninja"], ["exercise_sum_starter", "exercise_sum_solution"],
                          ["exercise_sum_trial"], ["exercise_sum_trial"],
                          ["exercise_sum_trial"]], self.builds)

    # Tests a starter that passes every check: it leaves nothing to write.
    def test_starter_that_passes(self):
        self.starter_state = DONE
        ok, said = self.verify(entry(wrong=WRONG))
        self.assertFalse(ok)
        self.assertIn("FAILED     sum: the starter passes all its checks", said)
        self.starter_state = NO_COMPILE
        self.assertIn("the starter does not compile", self.verify(entry(wrong=WRONG))[1])

    # Tests the wrong answers verify names: one that passes, one whose text
    # is not in the solution once, and too few of them.
    def test_wrong_answers(self):
        self.passing_trials = ("return 0.0;",)
        twice = {"name": "twice", "replace": "total", "with": "sum"}
        ok, said = self.verify(entry(wrong=WRONG + [twice]))
        self.assertFalse(ok)
        self.assertIn('the wrong answer "forgets to return" passes as done', said)
        self.assertIn('the wrong answer "twice": its text to replace occurs 4 times', said)
        ok, said = self.verify(entry(wrong=WRONG[:2]))
        self.assertIn("2 wrong answers; each exercise carries at least 3", said)

    # Tests starter_says: the untouched starter's verdict must say it.
    def test_starter_says(self):
        self.assertTrue(self.verify(entry(wrong=WRONG, starter_says="Which is: 0"))[0])
        ok, said = self.verify(entry(wrong=WRONG, starter_says="returned no readings"))
        self.assertIn('does not say "returned no readings"', said)

    # Tests an exercise left out: noted on a machine without the package, a
    # failure in CI, which has every package.
    def test_left_out(self):
        ok, said = self.verify(entry(wrong=WRONG), left_out=["libopencv-dev"])
        self.assertTrue(ok)
        self.assertIn("left out   sum: needs libopencv-dev", said)
        self.assertFalse(self.verify(entry(wrong=WRONG), ci=True, left_out=["x"])[0])

    # Tests an exercise the build could not declare (a file or target gone):
    # verify fails on it, saying what is missing.
    def test_broken(self):
        ok, said = self.verify(entry(wrong=WRONG, lesson="data/gone.cpp"))
        self.assertFalse(ok)
        self.assertIn("FAILED     sum: it cannot be checked: its lesson data/gone.cpp does "
                      "not exist", said)

    # Tests the stale-starter guard: code the lesson no longer has.
    def test_stale_starter(self):
        self.write("data/exercises/sum.cpp", "float sum(std::vector<double>& numbers) {\n"
                   "  return 0.0;\n}\n")
        ok, said = self.verify(entry(wrong=WRONG))
        self.assertIn("the starter holds code that data/summation.cpp no longer has", said)
        self.assertIn("float sum(std::vector<double>& numbers) {", said)


if __name__ == "__main__":
    unittest.main()
