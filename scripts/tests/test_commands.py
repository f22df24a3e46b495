"""Tests of the commands as a student calls them, with the build and the
checks faked: wrong words, list from kept verdicts, next, reset, and watch
moving on once an exercise is done."""

import contextlib
import io
import json
import os
import unittest
from unittest import mock

from exercise_tool import checking, commands, watch
from exercise_tool.verdict import DONE, NOT_YET, Failure, Verdict

from fakes import LESSON, STARTER, TreeTest, course, entry


class CommandsTest(TreeTest):
    def setUp(self):
        super().setUp()
        self.write("exercises.json", json.dumps(course(entry(), entry("total"))))
        self.write("data/exercises/total.cpp", STARTER)
        self.commit()
        # The build was set up: its manifest says nothing is left out.
        self.write("build/exercises/exercises_manifest.json",
                   json.dumps({"format_version": 1, "exercises": {}}))
        self.checked = []
        self.done = set()  # exercises the fake check finds done

    def fake_check(self, tree, exercise, variant="starter"):
        self.checked.append(exercise.name)
        if exercise.name in self.done:
            return Verdict(exercise.name, DONE, 2, 2)
        return Verdict(exercise.name, NOT_YET, 0, failure=Failure("SumTest.Values", "fails:"))

    def run_tool(self, *argv):
        out, err = io.StringIO(), io.StringIO()
        with mock.patch.object(checking, "check", self.fake_check), \
                contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            status = commands.main(list(argv), self.root)
        return status, out.getvalue() + err.getvalue()

    # Tests wrong words: an unknown command or name, a name missing; each is
    # status 2, and an unknown name lists the valid ones.
    def test_wrong_words(self):
        self.assertEqual(2, self.run_tool("frobnicate")[0])
        self.assertEqual(2, self.run_tool("check")[0])
        self.assertEqual(2, self.run_tool("hint", "sum", "total")[0])
        status, said = self.run_tool("check", "summ")
        self.assertEqual(2, status)
        self.assertIn("No exercise is called 'summ'. The exercises are:\n  sum\n  total", said)
        self.assertEqual(0, self.run_tool("hint", "data/exercises/sum.cpp")[0])
        status, said = self.run_tool("--help")
        self.assertEqual((0, True), (status, "verify [NAME...]" in said))

    # Tests list: an untouched starter is "not yet" without a check; a
    # changed one is checked once, then its kept verdict answers.
    def test_list(self):
        status, said = self.run_tool("list")
        self.assertEqual((1, []), (status, self.checked))
        self.assertIn("  not yet           sum", said)
        self.write("data/exercises/sum.cpp", LESSON)
        self.done = {"sum"}
        self.run_tool("list")
        status, said = self.run_tool("list")
        self.assertEqual(["sum"], self.checked)
        self.assertIn("  done              sum", said)
        self.assertIn("1 of 2 done.", said)

    # Tests an exercise that cannot be checked here (its lesson is gone):
    # list and check say what is missing, and next passes it over.
    def test_broken(self):
        self.write("exercises.json", json.dumps(course(entry(lesson="data/gone.cpp"),
                                                       entry("total"))))
        status, said = self.run_tool("list")
        self.assertIn("  broken            sum                  (its lesson data/gone.cpp "
                      "does not exist)", said)
        status, said = self.run_tool("check", "sum")
        self.assertEqual(1, status)
        self.assertIn("sum cannot be checked in this tree", said)
        self.assertIn("Exercise 2 of 2", self.run_tool()[1])
        self.assertEqual([], [name for name in self.checked if name == "sum"])

    # Tests next: on a fresh start the welcome, then the first exercise not
    # done, checked to show why; check says done and what it taught.
    def test_next_and_check(self):
        status, said = self.run_tool()
        self.assertEqual(1, status)
        self.assertTrue(said.startswith("Hello."))
        self.assertIn("Exercise 1 of 2: data/exercises/sum.cpp", said)
        self.assertIn("Edit data/exercises/sum.cpp, then run", said)
        self.done = {"sum"}
        status, said = self.run_tool("check", "sum")
        self.assertEqual(0, status)
        self.assertIn("sum: done. All 2 checks pass.\nWhat it taught: A loop.", said)
        self.assertIn("Compare yours with data/summation.cpp.", said)

    # Tests reset through the command: nothing to reset, then the version kept.
    def test_reset(self):
        self.assertIn("nothing to reset", self.run_tool("reset", "sum")[1])
        self.write("data/exercises/sum.cpp", "mine\n")
        status, said = self.run_tool("reset", "sum")
        self.assertEqual(0, status)
        self.assertIn("your version is in data/exercises/sum.cpp.mine.", said)

    # Tests watch NAME: a save that solves it moves on to the next exercise,
    # which is then the file watched.
    def test_watch_moves_on(self):
        saves = [os.path.join(self.root, "data/exercises/sum.cpp")]
        watched = []

        def saved(watcher):
            watched.append(sorted(watcher.stamps))
            if not saves:
                raise KeyboardInterrupt
            self.done = {"sum"}
            return saves.pop()
        with mock.patch.object(watch.Watcher, "saved", saved):
            status, said = self.run_tool("watch", "sum")
        self.assertEqual(130, status)
        self.assertIn("sum: done.", said)
        self.assertIn("Exercise 2 of 2: data/exercises/total.cpp", said)
        self.assertEqual([[os.path.join(self.root, "data/exercises/sum.cpp")],
                          [os.path.join(self.root, "data/exercises/total.cpp")]], watched)


class WatcherTest(TreeTest):
    # Tests that a save is seen, also one that moves a new file in place.
    def test_saved(self):
        path = self.write("data/exercises/sum.cpp", STARTER)
        watcher = watch.Watcher([path])
        self.write("data/exercises/new.cpp", "saved\n")
        os.replace(os.path.join(self.root, "data/exercises/new.cpp"), path)
        self.assertEqual(path, watcher.saved(seconds=10), "the save was not seen within 10 s")


if __name__ == "__main__":
    unittest.main()
