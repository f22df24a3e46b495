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
    `radar_main.cpp` for its use. The rest is `notes.cpp`, not first. Then
    nothing more counts.

    - `Radar` (`radar.h`): a list item
      that goes on.

      ```sh
      build/default/sensors/radar_demo
      ```

    `radar_main` (`radar_main.cpp`): runs it.

    ```sh
    build/default/sensors/radar_main
    ```

    `other` (`other.cpp`): runs something else.

    ```sh
    build/default/sensors/other
    ```

    ## Pictures

    It draws `radar.png` and `replay_K.png`, and `<name>.png` for each run.

    ```sh
    (cd out && ./draw)
    ```

    ## Exercises

    - `exercises/blips.cpp`: the blips of `radar.cpp`.
    - The [top README](../README.md#practise), [a file](radar.h), [a site](https://example.org).
    """


class ReadmeTest(unittest.TestCase):
    """What the book reads in a README."""

    def setUp(self):
        self.top = make_tree({
            "sensors/README.md": SENSORS,
            **{f"sensors/{name}": "// a source\n" for name in (
                "radar.cpp", "radar.h", "util.cpp", "notes.cpp", "radar_main.cpp",
                "other.cpp")},
        })
        self.readme = readme.read_readme(self.top, "sensors/README.md")

    def tearDown(self):
        shutil.rmtree(self.top)

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

    # Tests a lesson's files: the "Look first" sentence and the "Then" ones
    # after it, not the sentence between; names that are not files are the
    # functions to point at.
    def test_lesson_files(self):
        [lesson] = readme.find_lessons(self.top, self.readme)
        self.assertEqual(["sensors/radar.cpp", "sensors/util.cpp", "sensors/radar_main.cpp"],
                         lesson.files)
        self.assertEqual(["helper"], lesson.names)
        self.assertEqual("", lesson.anchor)

    # Tests that a block runs a lesson when its own text names one of its
    # files, a header of one too, and a nested block counts.
    def test_run_lines(self):
        [lesson] = readme.find_lessons(self.top, self.readme)
        self.assertEqual([["build/default/sensors/radar_demo"], ["build/default/sensors/radar_main"]],
                         [readme.commands_of(u) for u in lesson.commands])

    # Tests that a name standing for many pictures is not one.
    def test_pictures(self):
        named = [readme.pictures(u) for _, u in self.readme.units()]
        self.assertEqual([["radar.png"]], [p for p in named if p])


EXERCISES = """\
    {"course": "A course", "welcome": "TODO",
     "exercises": [
      {"name": "blips", "starter": "sensors/exercises/blips.cpp",
       "lesson": "sensors/radar.h", "task": "Write *p++ and x[i] <here>.",
       "hint": "Use `std::swap` \\\\0", "teaches": "TODO"},
      {"name": "counts", "starter": "data/exercises/counts.cpp",
       "lesson": "data/counts.cpp", "task": "", "hint": "", "teaches": "Counting."}]}
    """


class CourseTest(unittest.TestCase):
    """The course's order, each exercise's lesson, and the pages written."""

    def setUp(self):
        self.top = make_tree({
            "README.md": "# Top\n\n## Practise\n\n[`data/`](data/) and [`sensors/`](sensors/)\n",
            "exercises.json": EXERCISES,
            "sensors/README.md": SENSORS,
            "data/README.md": "# Data\n\nLook first at `counts.cpp`.\n\n![A diagram](diagram.png)\n",
            "data/diagram.png": "not really a picture",
            "data/sub/README.md": "# Below data\n\nNo lesson here.\n",
            "outside/README.md": "# Outside\n\nStand-ins.\n",
            **{f"sensors/{name}": "// a source\n" for name in (
                "radar.cpp", "radar.h", "util.cpp", "radar_main.cpp")},
            "sensors/exercises/blips.cpp": "// the starter\n",
            "data/counts.cpp": "int counts() { return 42; }\n",
            "data/exercises/counts.cpp": "int counts() { return 0; }  // your work\n",
        })

    def tearDown(self):
        shutil.rmtree(self.top)

    # Tests the book's order: the top README first, then the folders of the
    # exercises in their order, a subfolder after its folder, the rest
    # last; an exercise practises the lesson that shows its header's source.
    def test_order_and_lessons(self):
        course = courses.load(self.top)
        self.assertEqual(["README.md", "sensors/README.md", "data/README.md",
                          "data/sub/README.md", "outside/README.md"],
                         [r.path for r in course.readmes])
        blips, counts = course.exercises
        self.assertEqual("sensors/README.md", blips.lesson.readme.path)
        self.assertEqual("sensors/README.md", blips.page.path)
        self.assertEqual("data/README.md", counts.page.path)
        self.assertEqual("", blips.teaches)
        self.assertEqual("", course.welcome)

    # Tests a subset: only the pages of the chosen exercises; a name that
    # is not declared is an error that lists those that are.
    def test_subset(self):
        course = courses.load(self.top, ["counts"])
        self.assertEqual(["data/README.md"], [r.path for r in course.readmes])
        with self.assertRaisesRegex(courses.CourseError, "no exercise nope .*blips, counts"):
            courses.load(self.top, ["nope"])

    def write(self, course, student=False):
        docs = os.path.join(self.top, "site-src")
        drawn = pictures.Pictures(self.top, os.path.join(self.top, "build", "pictures.log"))
        writer = pages.Writer(course, docs, drawn, student)
        writer.write_all()

        def read(path):
            with open(os.path.join(docs, path), encoding="utf-8") as f:
                return f.read()
        return read

    # Tests a folder's page: links to a README in the book point at its
    # page, others become text; the exercise comes after the list naming its
    # starter, its declared text escaped; the plan links lesson and exercise.
    def test_pages(self):
        read = self.write(courses.load(self.top))
        sensors = read("sensors/index.md")
        self.assertIn("[top README](../introduction.md#practise)", sensors)
        self.assertIn(", a file, [a site](https://example.org).", sensors)
        self.assertRegex(sensors, r"a site\]\(https://example.org\)\.\n\n### Exercise `blips` \{#exercise-blips\}")
        self.assertIn(r"Write \*p++ and x\[i\] &lt;here&gt;.", sensors)
        self.assertIn(r"Use \`std::swap\` \\0", sensors)
        self.assertIn("./scripts/exercise check blips", sensors)
        self.assertIn('???+ abstract "sensors/radar.cpp"', sensors)
        self.assertIn("![A diagram](diagram.png)", read("data/index.md"))
        self.assertEqual("not really a picture", read("data/diagram.png"))
        plan = read("index.md")
        self.assertIn("[blips](sensors/index.md#exercise-blips)", plan)
        self.assertIn("[counts](data/index.md#exercise-counts): Counting.", plan)
        self.assertIn("[Outside](outside/index.md)", plan)

    # Tests the student's edition: the starter is shown where the lesson
    # source it was cut from would be.
    def test_student_edition(self):
        data = self.write(courses.load(self.top, ["counts"]), student=True)("data/index.md")
        self.assertIn("your work", data)
        self.assertNotIn("return 42", data)

    # Tests that the definitions of the functions a lesson names are marked,
    # not their declarations or calls.
    def test_defined_lines(self):
        source = "void helper();\nvoid Radar::helper(int a) {\n  helper();\n}\nint main() {\n"
        self.assertEqual([2, 5], pages.defined_lines(source, ["helper", "main"]))


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
