"""Tests of reading exercises.json: the schema's rules, and the wrong answers
applied to a solution."""

import json
import os
import unittest

from exercise_tool import declaration
from exercise_tool.declaration import DeclarationError, WrongAnswer

from fakes import TreeTest, course, entry

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


class DeclarationTest(TreeTest):
    def fails(self, data, words):
        with self.assertRaises(DeclarationError) as caught:
            declaration.parse(data, self.root)
        self.assertIn(words, str(caught.exception))

    # Tests an entry with its defaults, and the course's order and lookups.
    def test_defaults(self):
        parsed = declaration.parse(course(entry(), entry("bubble", starter="data/exercises/bubble.h")))
        sum_ = parsed.named("sum")
        self.assertEqual(("data/summation.cpp", 30, [], None, "data"),
                         (sum_.solution, sum_.timeout, sum_.needs, sum_.starter_says, sum_.folder))
        self.assertIs(sum_, parsed.named("data/exercises/sum.cpp"))
        self.assertEqual(["bubble", "sum"], [e.name for e in parsed.after(sum_)])

    # Tests the rules an entry breaks, each named.
    def test_rules(self):
        self.fails(course(entry(), entry()), "two exercises are called sum")
        self.fails(course(entry(name="a-b", starter="data/exercises/a-b.cpp")), "only letters")
        self.fails(course(entry(starter="data/sum.cpp")), "<folder>/exercises/sum.cpp")
        self.fails(course(entry(lesson="../summation.cpp")), "a path inside the tree")
        self.fails(course(entry(checks={})), "give its checks")
        self.fails(course(entry(checks={"test": ["x"]})), "checks has no kind test")
        self.fails(course(entry(checks={"passes": "x"})), "checks.passes must be a list")
        self.fails(course(entry(needs=["Qt"])), "not Qt")
        self.fails(course(entry(timeout=0)), "timeout")
        self.fails(course(entry(teaches="")), "teaches must be a text")
        self.fails(course(entry(wrong=[{"name": "x", "replace": "a"}])), "each wrong answer")
        self.fails(dict(course(), format_version=2), "format_version 2")

    # Tests an exercise whose lesson is gone (changed under it): it alone is
    # broken, saying what is missing; the others still read.
    def test_broken(self):
        self.write("data/exercises/total.cpp", "")
        parsed = declaration.parse(course(entry(lesson="data/nothing.cpp"), entry("total")),
                                   self.root)
        self.assertEqual("its lesson data/nothing.cpp does not exist", parsed.named("sum").broken)
        self.assertIsNone(parsed.named("total").broken)

    # Tests a wrong answer applied: its text must occur exactly once.
    def test_wrong_answer(self):
        answer = WrongAnswer("off by one", "i < n", "i <= n")
        self.assertEqual("for (i = 0; i <= n; ++i)", answer.apply("for (i = 0; i < n; ++i)"))
        for text in ("no loop", "i < n && i < n"):
            with self.assertRaises(ValueError):
                answer.apply(text)

    # Tests that the tree's own declaration reads.
    def test_the_tree(self):
        parsed = declaration.load(ROOT)
        self.assertEqual(len(parsed.exercises), len({e.name for e in parsed.exercises}))
        with open(os.path.join(ROOT, "exercises.json")) as file:
            self.assertEqual(json.load(file)["course"], parsed.course)


if __name__ == "__main__":
    unittest.main()
