"""Tests of the starters as handed out: telling an untouched one, reset that
keeps every version, the solution's patch, and the stale-starter guard."""

import os
import subprocess
import unittest

from exercise_tool import starters

from fakes import LESSON, STARTER, TreeTest

SUM = "data/exercises/sum.cpp"


class ResetTest(TreeTest):
    def setUp(self):
        super().setUp()
        self.commit()
        self.handed_out = starters.HandedOut(self.root, [SUM])

    # Tests that a change to the starter is seen, and only a change.
    def test_untouched(self):
        self.assertTrue(self.handed_out.untouched(SUM))
        self.write(SUM, STARTER + "// mine\n")
        self.assertFalse(self.handed_out.untouched(SUM))
        self.assertFalse(self.handed_out.known("data/exercises/other.cpp"))

    # Tests that each reset keeps the student's version under a name of its
    # own: a second reset never overwrites the first .mine.
    def test_reset_keeps_every_version(self):
        self.assertIsNone(starters.reset(self.root, self.handed_out, SUM))
        for attempt, name in enumerate((".mine", ".mine2", ".mine3")):
            self.write(SUM, "attempt {}\n".format(attempt))
            kept = starters.reset(self.root, self.handed_out, SUM)
            self.assertEqual(os.path.join(self.root, SUM + name), kept)
            self.assertEqual(STARTER, self.read(SUM))
        self.assertEqual("attempt 0\n", self.read(SUM + ".mine"))
        self.assertEqual("attempt 1\n", self.read(SUM + ".mine2"))

    # Tests that the solution's patch applies with git apply, also to and
    # from a file without a line break at its end.
    def test_patch_applies(self):
        for current, solution in ((STARTER, LESSON), (STARTER.rstrip("\n"), LESSON),
                                  (STARTER, LESSON.rstrip("\n"))):
            self.write(SUM, current)
            patch = starters.patch(SUM, current, solution)
            subprocess.run(["git", "apply"], cwd=self.root, input=patch, text=True, check=True)
            self.assertEqual(solution, self.read(SUM))
        self.assertEqual("", starters.patch(SUM, LESSON, LESSON))


class StaleTest(unittest.TestCase):
    # Tests the guard: a starter is its lesson with the gap cut out (a
    # comment and a placeholder return in its place); code the lesson does
    # not have is named.
    def test_stale_lines(self):
        self.assertEqual([], starters.stale_lines(STARTER, [LESSON]))
        stale = STARTER.replace("double sum(", "float sum(")
        self.assertEqual(["float sum(std::vector<double>& numbers) {"],
                         starters.stale_lines(stale, [LESSON]))
        # Code that the solution holds, where it goes beyond the lesson, is fine.
        self.assertEqual([], starters.stale_lines(stale, [LESSON, stale]))

    # Tests that a cut may lay out what is left anew: a one-line function
    # opened up around the gap, an initialiser list cut short, the includes
    # in another order, a pure virtual function given an empty body;
    # comments say anything.
    def test_cut_laid_out_anew(self):
        lesson = ('#include "shape.h"\n\n#include <cmath>\n\n'
                  "double Shape::area() { return width_ * height_; }  // w h\n"
                  "Shape::Shape(int seed, int count)\n    : count_(count),\n"
                  "      engine_(seed) {}\n")
        starter = ('#include <cmath>\n\n#include "shape.h"\n\n'
                   "double Shape::area() {\n  // Return width_ * depth_ here.\n  return 0.0;\n}\n"
                   "Shape::Shape(int seed, int count) : count_(count) {\n"
                   "  /* Seed engine_ from seed. */\n  return {};\n}\n")
        self.assertEqual([], starters.stale_lines(starter, [lesson]))
        lesson = "struct I {\n  virtual double get(int i) = 0;\n};\n"
        starter = "struct I {\n  virtual double get(int i) { return 0.0; }\n};\n"
        self.assertEqual([], starters.stale_lines(starter, [lesson]))
        lesson = "P f(double a, double b) {\n  return P{a + b, 0};\n}\n"
        starter = "P f(double a, double b) {\n  return P{a, a, -1.0};\n}\n"
        self.assertEqual([], starters.stale_lines(starter, [lesson]))

    # Tests what a cut may not do: code in another order, a return that is
    # no placeholder, a text the lesson no longer prints.
    def test_code_the_lesson_lacks(self):
        lesson = 'int f(int a, int b) {\n  std::cout << "sum";\n  return a + b;\n}\n'
        for starter, line in (
                ("int f(int b, int a) {\n  return 0;\n}\n", "int f(int b, int a) {"),
                ("int f(int a, int b) {\n  return a * b;\n}\n", "return a * b;"),
                ("int f(int a, int b) {\n  return b - a;\n}\n", "return b - a;"),
                ('int f(int a, int b) {\n  std::cout << "Sum";\n  return 0;\n}\n',
                 'std::cout << "Sum";')):
            self.assertEqual([line], starters.stale_lines(starter, [lesson]), starter)


if __name__ == "__main__":
    unittest.main()
