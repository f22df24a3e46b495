"""Tests of the teacher's commands with the build and the checks faked: the
handout (what it holds and leaves out, its declaration, its one commit, the
commands it refuses), the student's report as JSON and JUnit, and the class
grid with the reports it must leave out."""

import contextlib
import csv
import io
import json
import os
import subprocess
import unittest
import xml.etree.ElementTree as ElementTree
from unittest import mock

from exercise_tool import checking, commands, report
from exercise_tool.diagnostics import Diagnostic
from exercise_tool.verdict import DONE, LEFT_OUT, NO_COMPILE, NOT_YET, Failure, Verdict

from fakes import LESSON, STARTER, TreeTest, course, entry

SOLUTION = "void count() {\n  std::lock_guard<std::mutex> hold(guard);\n}\n"


class ToolTest(TreeTest):
    """A checkout of two lesson folders and two stand-ins, committed."""

    def setUp(self):
        super().setUp()
        self.write("exercises.json", json.dumps(course(
            entry(),
            entry("exact", starter="race/exercises/exact.cpp", lesson="race/counter.cpp",
                  solution="race/exercises/solutions/exact.cpp", target="race_counter"))))
        self.write("CMakeLists.txt", "add_subdirectory(outside)\nadd_subdirectory(data)\n"
                                     "add_subdirectory(race)\n")
        self.write("outside/CMakeLists.txt", "add_subdirectory(adder)\nadd_subdirectory(clock)\n")
        self.write("outside/adder/CMakeLists.txt", "peltra_add_library(adder STATIC)\n")
        self.write("outside/clock/CMakeLists.txt", "peltra_add_library(clock STATIC)\n")
        # data links the adder; a comment and a text that name the clock do not count.
        self.write("data/CMakeLists.txt", "# clock\npeltra_add_library(data_summation OBJECT\n"
                                          "  LIBS adder)\nmessage(\"clock\")\n")
        self.write("data/README.md", "- `exercises/sum.cpp`: the sum of `summation.cpp`.\n")
        self.write("race/CMakeLists.txt", "peltra_add_library(race_counter OBJECT LIBS clock)\n")
        self.write("race/counter.cpp", "void count() {}\n")
        self.write("race/exercises/exact.cpp", "void count() {\n  // Guard it.\n}\n")
        self.write("race/exercises/solutions/exact.cpp", SOLUTION)
        self.write("README.md", "The full tree.\n")
        self.write("scripts/tests/test_x.py", "")
        self.commit()
        self.write("build/exercises/exercises_manifest.json",
                   json.dumps({"format_version": 1, "exercises": {}}))
        self.verdicts = {}

    def fake_check(self, tree, exercise, variant="starter"):
        return self.verdicts.get(exercise.name, Verdict(exercise.name, NOT_YET, 0))

    def run_tool(self, *argv, root=None):
        out, err = io.StringIO(), io.StringIO()
        with mock.patch.object(checking, "check", self.fake_check), \
                contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            status = commands.main(list(argv), root or self.root)
        return status, out.getvalue(), err.getvalue()

    def files(self, root):
        listed = subprocess.run(["git", "ls-files"], cwd=root, capture_output=True, text=True,
                                check=True).stdout
        return sorted(listed.split())


class HandoutTest(ToolTest):
    def hand_out(self, *names):
        target = os.path.join(self.root, "build", "handout")
        status, out, err = self.run_tool("handout", target, "--no-book", *names)
        self.assertEqual(0, status, err)
        return target

    # Tests a handout of an exercise whose lesson is its solution: the lesson's
    # file holds the starter, the starter's old path is gone (and a README
    # names the new one), the folder without a chosen exercise and the stand-in
    # nothing kept links are left out, and the top CMakeLists.txt and
    # outside's add neither.
    def test_lesson_holds_the_starter(self):
        target = self.hand_out("sum")
        self.assertEqual([".ci/run", "CMakeLists.txt", "README.md", "data/CMakeLists.txt",
                          "data/README.md", "data/summation.cpp", "exercises.json",
                          "outside/CMakeLists.txt", "outside/adder/CMakeLists.txt"],
                         self.files(target))
        with open(os.path.join(target, "data/summation.cpp"), encoding="utf-8") as file:
            self.assertEqual(STARTER, file.read())
        with open(os.path.join(target, "data/README.md"), encoding="utf-8") as file:
            self.assertIn("- `summation.cpp`: the sum of", file.read())
        with open(os.path.join(target, "CMakeLists.txt"), encoding="utf-8") as file:
            self.assertNotIn("race", file.read())
        with open(os.path.join(target, "outside/CMakeLists.txt"), encoding="utf-8") as file:
            self.assertEqual("add_subdirectory(adder)\n", file.read())
        with open(os.path.join(target, "exercises.json"), encoding="utf-8") as file:
            declared = json.load(file)
        self.assertEqual("handout", declared["edition"])
        self.assertEqual({"data/summation.cpp"}, {e["starter"] for e in declared["exercises"]})
        self.assertFalse({"wrong", "solution"} & set(declared["exercises"][0]))
        self.assertIn("race/", declared["left_out"])
        self.assertEqual("1\n", subprocess.run(["git", "rev-list", "--count", "--all"],
                                               cwd=target, capture_output=True, text=True,
                                               check=True).stdout)

    # Tests an exercise with a solution of its own: the solution is left
    # out, the starter and the lesson stay, and the stand-in it links comes.
    def test_solution_of_its_own(self):
        target = self.hand_out("exact")
        files = self.files(target)
        self.assertIn("race/exercises/exact.cpp", files)
        self.assertIn("race/counter.cpp", files)
        self.assertIn("outside/clock/CMakeLists.txt", files)
        self.assertNotIn("race/exercises/solutions/exact.cpp", files)
        for name in files:
            with open(os.path.join(target, name), encoding="utf-8") as file:
                self.assertNotIn("lock_guard", file.read(), name)

    # Tests what the tool refuses: a folder with files in it, and, in a
    # handout, the commands that need the solutions (one line, status 2).
    def test_refusals(self):
        self.write("build/full/kept.txt", "mine\n")
        status, _, err = self.run_tool("handout", os.path.join(self.root, "build/full"), "sum")
        self.assertEqual((1, True), (status, "not an empty folder" in err))
        target = self.hand_out("sum")
        for words in (["solution", "sum"], ["verify"], ["handout", "elsewhere"]):
            status, out, err = self.run_tool(*words, root=target)
            self.assertEqual((2, 1), (status, len(err.splitlines())), err)
        status, out, _ = self.run_tool("hint", "sum", root=target)
        self.assertEqual((0, "Add them."), (status, out.strip()))


class ReportTest(ToolTest):
    def setUp(self):
        super().setUp()
        self.write("data/exercises/sum.cpp", LESSON)   # touched: it is checked
        self.write("race/exercises/exact.cpp", SOLUTION)

    def report(self, *extra):
        junit, data = (os.path.join(self.root, name) for name in ("r.xml", "r.json"))
        status, out, err = self.run_tool("report", "--junit", junit, "--json", data,
                                         "--student", "Ada", *extra)
        with open(data, encoding="utf-8") as file:
            return status, json.load(file), ElementTree.parse(junit).getroot()

    # Tests a report with one exercise done and one that does not compile:
    # the JSON names the course, the student, the version, each state with
    # its checks and first failure; JUnit counts an error; the status is 1.
    def test_not_all_done(self):
        self.verdicts = {"sum": Verdict("sum", DONE, 2, 2), "exact": Verdict(
            "exact", NO_COMPILE, errors=[Diagnostic("error", "expected ';'",
                                                    self.tree.path("race/exercises/exact.cpp"),
                                                    3)])}
        status, data, junit = self.report()
        self.assertEqual(1, status)
        self.assertEqual(("Test", "Ada", report.FORMAT_VERSION, 1),
                         (data["course"], data["student"]["name"], data["format_version"],
                          data["done"]))
        exact = data["exercises"][1]
        self.assertEqual((NO_COMPILE, "expected ';'", "race/exercises/exact.cpp:3"),
                         (exact["state"], exact["first_failure"]["summary"],
                          exact["first_failure"]["location"]))
        self.assertEqual(("2", "1", "0"), (junit.get("tests"), junit.get("errors"),
                                           junit.get("failures")))
        self.assertIsNotNone(junit.find(".//testcase[@name='exact']/error"))

    # Tests the status once every exercise is done, a failure in JUnit, and
    # report's words read wrong (status 2).
    def test_all_done_and_words(self):
        self.verdicts = {"sum": Verdict("sum", DONE, 2, 2), "exact": Verdict("exact", DONE, 1, 1)}
        self.assertEqual(0, self.report()[0])
        self.verdicts["exact"] = Verdict("exact", NOT_YET, 0, failure=Failure("T.Race", "fails:"))
        self.write("race/exercises/exact.cpp", SOLUTION + "// changed: checked again\n")
        status, _, junit = self.report()
        self.assertEqual("T.Race fails:",
                         junit.find(".//testcase[@name='exact']/failure").get("message"))
        self.assertEqual(2, self.run_tool("report")[0])
        self.assertEqual(2, self.run_tool("report", "--json")[0])


class ClassTest(ToolTest):
    def write_report(self, name, student, states, **changes):
        verdicts = [Verdict(exercise, state, 1 if state == DONE else 0)
                    for exercise, state in states.items()]
        data = report.as_data(mock.Mock(course="Test", edition=None),
                              {"name": student, "email": ""}, verdicts, str)
        data.update(changes)
        return self.write("reports/" + name, json.dumps(data))

    # Tests three students merged, and a broken report, one of another
    # version and one of another course named and left out; the totals per
    # student and per exercise in the CSV, and a name escaped in the page.
    def test_grid(self):
        paths = [self.write_report("a.json", "Ada", {"sum": DONE, "exact": DONE}),
                 self.write_report("b.json", "<b>Bob</b>", {"sum": DONE, "exact": NOT_YET}),
                 self.write_report("c.json", "Cy", {"sum": LEFT_OUT}),
                 self.write("reports/broken.json", '{"format": "peltra-exercise-re'),
                 self.write_report("old.json", "Old", {}, format_version=0),
                 self.write_report("other.json", "Oz", {}, course="Another")]
        out_csv, out_html = self.tree.path("grid.csv"), self.tree.path("grid.html")
        status, out, err = self.run_tool("class", "--csv", out_csv, "--html", out_html, *paths)
        self.assertEqual(0, status, err)
        self.assertEqual(3, len(err.splitlines()), err)
        for name, why in (("broken.json", "is not JSON"), ("old.json", "format version 0"),
                          ("other.json", 'course "Another"')):
            self.assertRegex(err, name + ": left out: it .*" + why)
        with open(out_csv, encoding="utf-8") as file:
            rows = list(csv.reader(file))
        self.assertEqual(["student", "email", "sum", "exact", "done"], rows[0])
        self.assertEqual(["<b>Bob</b>", "", DONE, NOT_YET, "1"], rows[1])
        self.assertEqual(["Cy", "", LEFT_OUT, "", "0"], rows[3])
        self.assertEqual(["done", "", "2", "1", "3"], rows[4])
        with open(out_html, encoding="utf-8") as file:
            page = file.read()
        self.assertIn("&lt;b&gt;Bob&lt;/b&gt;", page)
        self.assertNotIn("<b>Bob", page)
        self.assertEqual(1, self.run_tool("class", "--csv", out_csv, paths[3])[0])
        self.assertEqual(2, self.run_tool("class", *paths)[0])


if __name__ == "__main__":
    unittest.main()
