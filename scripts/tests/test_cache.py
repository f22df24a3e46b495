"""Tests of the verdicts kept by content: a key changes with anything the
exercise is checked against, and only then."""

import json
import os
import unittest

from exercise_tool import cache, declaration
from exercise_tool.verdict import NOT_YET, Verdict

from fakes import TreeTest, course, entry


class KeysTest(TreeTest):
    def setUp(self):
        super().setUp()
        self.write("exercises.json", json.dumps(course(entry(), entry(
            "bubble", lesson="data/summation.cpp"))))
        self.write("data/exercises/bubble.cpp", "// bubble\n")
        self.write("outside/stand_in.cpp", "// a stand-in\n")
        self.write("sensors/radar.cpp", "// another folder\n")
        self.commit()

    def key(self):
        tree_course = declaration.load(self.root)
        return cache.Keys(self.root, tree_course).key(tree_course.named("sum"))

    # Tests what makes a new key: the starter, a file of its folder, a
    # stand-in; and what does not: another exercise's starter, a .mine file,
    # another folder, a file git ignores.
    def test_key(self):
        first = self.key()
        self.assertEqual(first, self.key())
        for path in ("data/exercises/bubble.cpp", "data/exercises/sum.cpp.mine2",
                     "sensors/radar.cpp"):
            self.write(path, "// changed\n")
            self.assertEqual(first, self.key(), path)
        self.write(".gitignore", "*.actual\n")
        self.git("add", ".gitignore")
        self.git("commit", "-qm", "ignore")
        first = self.key()
        self.write("data/out.actual", "printed\n")
        self.assertEqual(first, self.key())
        for path in ("data/exercises/sum.cpp", "data/tests/summation_test.cpp",
                     "outside/stand_in.cpp"):
            before = self.key()
            self.write(path, "// changed again\n")
            self.assertNotEqual(before, self.key(), path)

    # Tests that a kept verdict comes back only for the key it was kept by.
    def test_store_and_load(self):
        exercise = declaration.load(self.root).named("sum")
        verdict = Verdict("sum", NOT_YET, 1)
        cache.store(self.tree, exercise, "k1", verdict)
        self.assertEqual(verdict, cache.load(self.tree, exercise, "k1"))
        self.assertIsNone(cache.load(self.tree, exercise, "k2"))
        os.remove(os.path.join(self.tree.state, "verdicts", "sum.json"))
        self.assertIsNone(cache.load(self.tree, exercise, "k1"))


if __name__ == "__main__":
    unittest.main()
