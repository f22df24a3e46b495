#!/usr/bin/env python3
"""Tests of the lesson book's tool: what it reads in a README, how it orders
the course, the pages it writes, the pictures it draws, and, where mkdocs is
installed, that the student's edition shows no lesson source an exercise
was cut from. Python's unittest; run from anywhere:

  scripts/tests/book_test.py
"""

import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import textwrap
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from book_tool import course as courses  # noqa: E402
from book_tool import pages, pictures, readme, site  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def make_tree(files):
    """A temporary tree holding the given files (path: text)."""
    top = tempfile.mkdtemp(prefix="book-test-")
    for path, text in files.items():
        full = os.path.join(top, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(text))
        if path.startswith("scripts/") or path.endswith("/draw"):
            os.chmod(full, 0o755)
    return top


SENSORS = """\
    # Ranging sensors

    Look first at `radar.cpp`, then `helper()` in `util.cpp`. Then
    `radar_main.cpp` for its use.

    - `Radar` (`radar.h`, module `radar`): a sensor of 60 degrees, its
      readings clamped into [0.2, 16.0]; the first.
    - `Gone` (`gone.h`): declared, its source gone.

      ```sh
      build/default/sensors/gone_demo
      ```

    `radar_main` (`radar_main.cpp`): runs a `Radar`.

    ```sh
    build/default/sensors/radar_main
    ```

    `other` (`other.cpp`): runs something else.

    ```sh
    build/default/sensors/other
    ```

    ## Pictures

    It draws `radar.png` and `replay_K.png`, and `<name>.png` for each run,
    when `replay` (`radar.h`) replays a run.

    ```sh
    (cd out && ./draw)
    ```

    ## Exercises

    - `exercises/blips.cpp`: the blips of `radar.cpp`.
    - `exercises/lost.cpp`: the `lost.cpp` that nothing above introduces.
    - The [top README](../README.md#practise), [a file](radar.h), [a site](https://example.org).
    """

SENSOR_FILES = {f"sensors/{name}": "// a source\n" for name in (
    "radar.cpp", "radar.h", "util.cpp", "radar_main.cpp", "other.cpp", "lost.cpp",
    "gone.h")}


class ReadmeTest(unittest.TestCase):
    """What the book reads in a README's text."""

    # Tests that a list keeps its nested code block and that a fence is one
    # unit whatever it holds.
    def test_units(self):
        units = readme.split_units("- item\n  more\n\n  ```sh\n  run\n\n  # no heading\n  ```\n\nafter\n")
        self.assertEqual(["text", "text"], [u.kind for u in units])
        self.assertEqual(["text", "code"], [p.kind for p in units[0].parts])
        self.assertEqual(["run", "", "# no heading"], units[0].parts[1].code())
        self.assertEqual("after", units[1].text)

    # Tests the ids of headings as the Markdown toc makes them.
    def test_anchors(self):
        used = set()
        self.assertEqual("demonstration-demo", readme.slugify("Demonstration (`demo/`)", used))
        self.assertEqual("exercises", readme.slugify("Exercises", used))
        self.assertEqual("exercises_1", readme.slugify("Exercises", used))
        self.assertEqual("c-strings", readme.slugify("[C strings](x.md)", used))

    # Tests a title: the first clause, parentheses (and a colon in them)
    # left out, a label of names kept before its colon, no clause ending
    # inside brackets, quotes or code.
    def test_first_clause(self):
        clause = readme.first_clause
        self.assertEqual("`Radar`: a sensor of 60 degrees", clause(
            "- `Radar` (`radar.h`, module `radar`): a sensor of 60 degrees, its\n  readings"))
        self.assertEqual("`A`, `B`: the two", clause("`A`, `B` (`a.h`): the two; more."))
        self.assertEqual("`geometry.h` holds each piece", clause(
            "`geometry.h` (header only: each module) holds each piece, for all."))
        self.assertEqual('The digits of "1, 2" in [0, 9] as `a.b`', clause(
            'the digits of "1, 2" in [0, 9] as `a.b`. Then more'))
        self.assertEqual(["A", "B"], readme.label_names("`A`, `B` (`a.h`): the two"))
        self.assertEqual([], readme.label_names("`Tracker` keeps: a label only of names"))

    # Tests that "Look first" sentences, and the "Then" ones after them,
    # are left out of a text, and the sentences after those are kept.
    def test_without_look_first(self):
        self.assertEqual("Lead pursuit (`c.cpp`) aims. Then on.", readme.without_look_first(
            "Look first at `a.cpp` (`x.y`). Then `b.cpp`\ntoo. Lead pursuit (`c.cpp`) aims. "
            "Then on."))

    # Tests what a run block follows: the last item of a list it is nested
    # in, the paragraph before it, nothing after a heading.
    def test_run_blocks(self):
        parsed = readme.read_readme(self.top, "sensors/README.md")
        said = [(readme.commands_of(part), text.split("`")[1] if text else "")
                for _, part, text in readme.run_blocks(parsed)]
        self.assertEqual([(["build/default/sensors/gone_demo"], "Gone"),
                          (["build/default/sensors/radar_main"], "radar_main"),
                          (["build/default/sensors/other"], "other"),
                          (["(cd out && ./draw)"], "radar.png")], said)
        top = make_tree({"README.md": "# T\n\n```sh\nrun\n```\n"})
        self.addCleanup(shutil.rmtree, top)
        [(_, _, text)] = readme.run_blocks(readme.read_readme(top, "README.md"))
        self.assertEqual("", text)

    # Tests that a name standing for many pictures is not one.
    def test_pictures(self):
        parsed = readme.read_readme(self.top, "sensors/README.md")
        named = [readme.pictures(u) for _, u in parsed.units()]
        self.assertEqual([["radar.png"]], [p for p in named if p])

    def setUp(self):
        self.top = make_tree({"sensors/README.md": SENSORS})

    def tearDown(self):
        shutil.rmtree(self.top)


EXERCISES = """\
    {"course": "A course", "welcome": "TODO",
     "exercises": [
      {"name": "blips", "starter": "sensors/exercises/blips.cpp",
       "lesson": "sensors/radar.cpp", "task": "Write *p++ and x[i] <here>.",
       "hint": "Use `std::swap` \\\\0", "teaches": "TODO"},
      {"name": "counts", "starter": "data/exercises/counts.cpp",
       "lesson": "data/counts.cpp", "task": "", "hint": "", "teaches": "Counting."},
      {"name": "lost", "starter": "sensors/exercises/lost.cpp",
       "lesson": "sensors/lost.cpp", "task": "", "hint": "", "teaches": ""},
      {"name": "gone", "starter": "sensors/exercises/gone.cpp",
       "lesson": "sensors/gone.cpp", "task": "", "hint": "", "teaches": ""},
      {"name": "more_blips", "starter": "sensors/exercises/more_blips.cpp",
       "lesson": "sensors/radar.cpp", "task": "", "hint": "", "teaches": ""}]}
    """


class NoPictures:
    """Pictures found nowhere, and none drawn."""

    left_out = []

    def find(self, *_):
        return None


def write_pages(course, docs, student=False):
    """Writes a course's pages; returns the navigation and a reader of them."""
    nav = pages.Writer(course, docs, NoPictures(), student).write_all()

    def read(path):
        with open(os.path.join(docs, path), encoding="utf-8") as f:
            return f.read()
    return nav, read


class CourseTest(unittest.TestCase):
    """The course's order, its lessons where the READMEs introduce them,
    and the pages written."""

    def setUp(self):
        self.top = make_tree({
            "README.md": "# Top\n\n## Practise\n\n[`data/`](data/) and [`sensors/`](sensors/)\n",
            "exercises.json": EXERCISES,
            "sensors/README.md": SENSORS,
            "data/README.md": "# Data\n\nLook first at `counts.cpp`.\n\n`counts` counts things, "
                              "fast.\n\n![A diagram](diagram.png)\n\n[More](sub/README.md).\n",
            "data/diagram.png": "not really a picture",
            "data/sub/README.md": "# Below data\n\n![A chart](chart.png)\n",
            "data/sub/chart.png": "not really a chart",
            "data/a_sub/README.md": "# Also below\n",
            "outside/README.md": "# Outside\n\nStand-ins.\n",
            **SENSOR_FILES,
            "sensors/exercises/blips.cpp": "// the starter\n",
            "data/counts.cpp": "int counts() { return 42; }\n",
            "data/exercises/counts.cpp": "int counts() { return 0; }  // your work\n",
        })
        self.course = courses.load(self.top)
        self.lesson = {lesson.path: lesson for lesson in self.course.lessons}

    def tearDown(self):
        shutil.rmtree(self.top)

    # Tests the book's order: the top README first, then the folders of the
    # exercises in their order, subfolders after their folder (those it
    # links first, in its order), the rest last; the lessons numbered by page in course order, one for the two
    # exercises of a file.
    def test_order(self):
        self.assertEqual(["README.md", "sensors/README.md", "data/README.md",
                          "data/sub/README.md", "data/a_sub/README.md", "outside/README.md"],
                         [r.path for r in self.course.readmes])
        self.assertEqual([("sensors/radar.cpp", 1), ("sensors/lost.cpp", 2),
                          ("sensors/gone.cpp", 3), ("data/counts.cpp", 4)],
                         [(lesson.path, lesson.number) for lesson in self.course.lessons])
        self.assertEqual(["blips", "more_blips"],
                         [e.name for e in self.lesson["sensors/radar.cpp"].exercises])
        blips, counts = self.course.exercises[:2]
        self.assertEqual("sensors/README.md", blips.page.path)
        self.assertEqual("data/README.md", counts.page.path)
        self.assertEqual("", blips.teaches)
        self.assertEqual("", self.course.welcome)

    # Tests where a lesson is introduced: by the list item naming its
    # header, not the "Look first" sentence; by its program's name; not by
    # a line naming a starter. Its files, its title, the functions the
    # "Look first" sentence points at, and the lines that run it: those
    # just after its passage not repeated, a later block repeated.
    def test_introductions(self):
        radar = self.lesson["sensors/radar.cpp"]
        self.assertEqual("`Radar`: a sensor of 60 degrees", radar.title)
        self.assertEqual(["sensors/radar.cpp", "sensors/radar.h"], radar.files)
        self.assertIn("helper", radar.names)
        self.assertEqual("build/default/sensors/radar_main", radar.place.code()[0])
        self.assertEqual([["(cd out && ./draw)"]],
                         [readme.commands_of(u) for u in radar.commands])
        self.assertEqual("`counts` counts things", self.lesson["data/counts.cpp"].title)
        self.assertIsNone(self.lesson["sensors/lost.cpp"].unit)

    # Tests the faults the book names: a lesson file that is not there (its
    # header introduced and shown), a lesson no README introduces.
    def test_faults(self):
        gone = self.lesson["sensors/gone.cpp"]
        self.assertEqual((["sensors/gone.h"], True), (gone.files, gone.missing))
        faults = self.course.faults()
        self.assertEqual(2, len(faults), faults)
        self.assertRegex(faults[0], r"^no README introduces sensors/lost.cpp, the lesson of "
                                    r"lost .*end of sensors/README.md's page")
        self.assertRegex(faults[1], r"^sensors/gone.cpp, the lesson of gone .* is not in the tree")

    # Tests a subset: only the pages of the chosen exercises; a name that
    # is not declared is an error that lists those that are.
    def test_subset(self):
        course = courses.load(self.top, ["counts"])
        self.assertEqual(["data/README.md"], [r.path for r in course.readmes])
        with self.assertRaisesRegex(courses.CourseError, "no exercise nope .*blips, counts"):
            courses.load(self.top, ["nope"])

    # Tests a folder's page: each lesson after what introduces it, its file
    # open and the others folded, a forgotten one at the end; links to a
    # README in the book point at its page, others become text; the
    # exercise after the list naming its starter, its text escaped.
    def test_pages(self):
        nav, read = write_pages(self.course, os.path.join(self.top, "site-src"))
        sensors = read("sensors/index.md")
        self.assertRegex(sensors, r"radar_main\n```\n\n\*\*Lesson 1\*\* · `Radar`: a sensor of 60 "
                                  r"degrees\n\{: #lesson-radar-cpp \}\n\n\?\?\?\+ abstract "
                                  r'"sensors/radar.cpp"\n\n[^?]*\n\n'
                                  r'\?\?\? abstract "sensors/radar.h"')
        self.assertIn("Run it from the top of the checkout:\n\n```sh\n(cd out && ./draw)\n```\n\n"
                      "Practise it: [blips](index.md#exercise-blips) · [more_blips]", sensors)
        self.assertRegex(sensors, r"## Lessons this page does not introduce\n\n\*\*Lesson 2\*\* "
                                  r"· `lost.cpp`")
        self.assertIn("[top README](../introduction.md#practise)", sensors)
        self.assertIn(", a file, [a site](https://example.org).", sensors)
        self.assertRegex(sensors, r"a site\]\(https://example.org\)\.\n\n### Exercise `blips` \{#exercise-blips\}")
        self.assertIn(r"Write \*p++ and x\[i\] &lt;here&gt;.", sensors)
        self.assertIn(r"Use \`std::swap\` \\0", sensors)
        self.assertIn("Practises lesson 1, [`Radar`: a sensor of 60 degrees]"
                      "(index.md#lesson-radar-cpp) (`sensors/radar.cpp`)", sensors)
        self.assertIn("./scripts/exercise check blips", sensors)
        self.assertIn("![A diagram](diagram.png)", read("data/index.md"))
        self.assertEqual("not really a picture", read("data/diagram.png"))

    # Tests the plan: each lesson under its folder, numbered on, with its
    # title linked to its place, its file and its exercises; subfolders'
    # pages in the navigation under their folder, named on its page where
    # its README does not link them.
    def test_plan_and_subfolders(self):
        nav, read = write_pages(self.course, os.path.join(self.top, "site-src"))
        plan = read("index.md")
        self.assertIn("## [Ranging sensors](sensors/index.md)\n\n1. **[`Radar`: a sensor of 60 "
                      "degrees](sensors/index.md#lesson-radar-cpp)**, `sensors/radar.cpp`: "
                      "exercises [blips](sensors/index.md#exercise-blips), [more_blips]", plan)
        self.assertIn("4. **[`counts` counts things](data/index.md#lesson-counts-cpp)**, "
                      "`data/counts.cpp`: exercise [counts](data/index.md#exercise-counts)", plan)
        self.assertIn("In this folder too: [Below data](data/sub/index.md), "
                      "[Also below](data/a_sub/index.md).", plan)
        self.assertIn("Also in the book: [Outside](outside/index.md).", plan)
        self.assertIn({"Data": ["data/index.md", {"Below data": "data/sub/index.md"},
                                {"Also below": "data/a_sub/index.md"}]}, nav)
        data = read("data/index.md")
        self.assertIn("[More](sub/index.md).", data)
        self.assertIn("\n\nIn this folder too: [Also below](a_sub/index.md).\n", data)
        self.assertNotIn("Below data", data)
        self.assertEqual("not really a chart", read("data/sub/chart.png"))

    # Tests the student's edition: the starter is shown where the lesson
    # source it was cut from would be.
    def test_student_edition(self):
        course = courses.load(self.top, ["counts"])
        data = write_pages(course, os.path.join(self.top, "site-src"), True)[1]("data/index.md")
        self.assertIn("your work", data)
        self.assertNotIn("return 42", data)

    # Tests that the definitions of the functions a lesson names are marked,
    # not their declarations, calls or comments naming them.
    def test_defined_lines(self):
        source = ("void helper();\nvoid Radar::helper(int a) {\n  helper();\n}\nint main() {\n"
                  "// then runs helper(), at the margin\n")
        self.assertEqual([2, 5], pages.defined_lines(source, ["helper", "main"]))


class TreeTest(unittest.TestCase):
    # Tests, on this tree, that every lesson of exercises.json is introduced
    # by a README, has its place on its folder's page and a line in the plan
    # that links it: a README that forgot a lesson fails here.
    def test_every_lesson_shown(self):
        course = courses.load(TOP)
        docs = tempfile.mkdtemp(prefix="book-tree-")
        self.addCleanup(shutil.rmtree, docs)
        _, read = write_pages(course, docs)
        plan = read("index.md")
        self.assertEqual([], [f for f in course.faults() if "introduces" in f])
        for exercise in course.exercises:
            lesson = exercise.lesson
            with self.subTest(exercise=exercise.name, lesson=lesson.path):
                page = pages.page_path(lesson.readme)
                self.assertIn(f"{{: #{lesson.anchor} }}", read(page))
                self.assertRegex(plan, rf"\n{lesson.number}\. \*\*\[.+\]\({re.escape(page)}"
                                       rf"#{lesson.anchor}\)\*\*, `{re.escape(lesson.path)}`")


class PicturesTest(unittest.TestCase):
    """Pictures taken where a command left them, or drawn by it."""

    def setUp(self):
        self.top = make_tree({
            "scripts/build": "#!/bin/sh\necho built >> built.txt\n",
            "out/draw": "#!/bin/sh\ntouch radar.png\n",
            "sensors/README.md": SENSORS,
        })
        self.readme = readme.read_readme(self.top, "sensors/README.md")
        self.unit = next(u for _, u in self.readme.units() if readme.pictures(u))
        self.section = self.readme.sections[1]
        self.drawn = pictures.Pictures(self.top, os.path.join(self.top, "build", "log"))

    def tearDown(self):
        shutil.rmtree(self.top)

    # Tests that a missing picture is drawn by the section's command after
    # one build, and a second look finds it without drawing again.
    def test_drawn_once(self):
        self.assertEqual("out/radar.png", self.drawn.find("radar.png", self.section, self.unit))
        self.assertEqual("out/radar.png", self.drawn.find("radar.png", self.section, self.unit))
        with open(os.path.join(self.top, "built.txt")) as f:
            self.assertEqual("built\n", f.read())

    # Tests that a picture the command does not draw is left out and said.
    def test_left_out(self):
        self.assertIsNone(self.drawn.find("other.png", self.section, self.unit))
        self.assertEqual([("other.png", ["(cd out && ./draw)"])], self.drawn.left_out)


class OutsideLoadsTest(unittest.TestCase):
    # Tests that what a browser loads from another host is found, and a
    # link a reader may follow is not.
    def test_loads(self):
        top = make_tree({
            "a.html": '<link rel="stylesheet" href="https://fonts.example/x.css">\n'
                      '<a href="https://example.org">a link</a><img src="//cdn.example/i.png">',
            "b.css": "body { background: url('https://example.org/b.png') }",
            "c.html": '<script src="assets/local.js"></script>',
        })
        try:
            found = site.outside_loads(top)
            self.assertEqual(["a.html", "a.html", "b.css"], sorted(f.split(":")[0] for f in found))
        finally:
            shutil.rmtree(top)


class TextOf(html.parser.HTMLParser):
    """The text a reader sees in a page, tags dropped."""

    def __init__(self):
        super().__init__()
        self.parts = []

    def handle_data(self, data):
        self.parts.append(data)


def site_text(folder):
    parts = []
    for root, _, files in os.walk(folder):
        for name in files:
            if name.endswith(".html"):
                parser = TextOf()
                with open(os.path.join(root, name), encoding="utf-8") as f:
                    parser.feed(f.read())
                parts.append("".join(parser.parts))
    return re.sub(r"\s+", " ", " ".join(parts))


@unittest.skipUnless(shutil.which("mkdocs"), "mkdocs is missing")
class StudentEditionTest(unittest.TestCase):
    # Tests, on this tree, that the student's edition of an exercise whose
    # lesson source the book shows holds none of the lines the starter
    # lacks, and holds the starter; the teacher's has those lines, so the
    # search can see them.
    def test_no_lesson_source(self):
        exercise = next(e for e in courses.load(TOP).exercises
                        if e.lesson and e.lesson_file in e.lesson.files)

        def lines(path):
            with open(os.path.join(TOP, path), encoding="utf-8") as f:
                return {re.sub(r"\s+", " ", line.strip()) for line in f if len(line.strip()) > 12}
        cut = lines(exercise.lesson_file) - lines(exercise.starter)
        self.assertTrue(cut)
        out = tempfile.mkdtemp(prefix="book-student-")
        try:
            for student in (True, False):
                command = [os.path.join(TOP, "scripts", "book"), "--out", out, exercise.name]
                done = subprocess.run(command + ["--student"] * student,
                                      capture_output=True, text=True)
                self.assertEqual(0, done.returncode, done.stderr)
                text = site_text(out)
                shown = sorted(line for line in cut if line in text)
                if student:
                    self.assertEqual([], shown)
                    self.assertTrue(lines(exercise.starter) - lines(exercise.lesson_file)
                                    <= {line for line in lines(exercise.starter) if line in text})
                else:
                    self.assertEqual(sorted(cut), shown)
        finally:
            shutil.rmtree(out)


if __name__ == "__main__":
    unittest.main(verbosity=1)
