"""The book's Markdown pages, written from the READMEs and the exercises.

A folder's page is its README, unit by unit as written; after a unit the
book adds what the unit speaks of: after a lesson's "Look first at" the
files themselves, highlighted and numbered, and the lines that run them;
after a unit that names a picture, the picture; after one that names an
exercise's starter, the exercise. The course plan is made of the lessons'
titles, files and exercises alone.
"""

import html
import os
import re
import shutil

from . import readme as readmes

LANGUAGES = {".h": "cpp", ".cpp": "cpp", ".sh": "bash", ".cmake": "cmake",
             ".gp": "gnuplot", ".py": "python", ".json": "json"}


def page_path(readme):
    """Where a README's page goes in the site's sources."""
    return os.path.join(readme.folder, "index.md") if readme.folder else "introduction.md"


def relative(target, source_page):
    """A link from one page of the site to another (both site paths)."""
    return os.path.relpath(target, os.path.dirname(source_page) or ".")


def escaped(text):
    """Declared plain text as Markdown that shows it as it is."""
    text = re.sub(r"([\\`*_\[\]#])", r"\\\1", text)
    return html.escape(text, quote=False)


def indented(text, by="    "):
    return "\n".join(by + line if line else "" for line in text.split("\n"))


def fence_for(text):
    """A backtick fence longer than any run of backticks in the text."""
    longest = max((len(m) for m in re.findall(r"`+", text)), default=0)
    return "`" * max(3, longest + 1)


def defined_lines(text, names):
    """The lines of a source where the named functions are defined: a line
    at the left margin that names one before "(" and does not end in ";"."""
    found = []
    for number, line in enumerate(text.split("\n"), 1):
        if not line or line[0].isspace() or line.rstrip().endswith(";"):
            continue
        if any(re.search(rf"(^|\W){re.escape(name)}\s*\(", line) for name in names):
            found.append(number)
    return found


class Writer:
    """Writes the site's sources (docs/) for one course."""

    def __init__(self, course, docs, pictures, student=False):
        self.course = course
        self.docs = docs
        self.pictures = pictures
        self.page_of = {r.path: page_path(r) for r in course.readmes}
        # The student's edition shows a chosen exercise's starter in place
        # of the lesson source it was cut from.
        self.shown_instead = ({e.lesson_file: e for e in course.exercises}
                              if student else {})
        self.picture_count = 0

    def write_all(self):
        os.makedirs(self.docs, exist_ok=True)
        pages = []
        for readme in self.course.readmes:
            path = self.page_of[readme.path]
            self._write(path, self.readme_page(readme))
            pages.append((readme.title, path))
        self._write("index.md", self.plan())
        return [("Course plan", "index.md")] + pages

    def _write(self, path, text):
        full = os.path.join(self.docs, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)

    # --- Links -----------------------------------------------------------

    def link_to_lesson(self, lesson, from_page):
        target = relative(self.page_of[lesson.readme.path], from_page)
        return f"{target}#{lesson.anchor}" if lesson.anchor else target

    def link_to_exercise(self, exercise, from_page):
        if not exercise.page or exercise.page.path not in self.page_of:
            return None
        return f"{relative(self.page_of[exercise.page.path], from_page)}#{exercise.anchor}"

    def rewrite_links(self, text, readme):
        """README links to a folder or README in the book point at its page,
        links to anything else of the tree become their text; a picture the
        README shows is copied beside the page, where its link still leads."""
        page = self.page_of[readme.path]

        def replace(match):
            bang, label, target = match.groups()
            if re.match(r"^[a-z]+:", target) or target.startswith("#"):
                return match.group(0)
            path, _, fragment = target.partition("#")
            tree_path = os.path.normpath(os.path.join(readme.folder, path))
            if bang:
                if os.path.isfile(os.path.join(self.course.top, tree_path)):
                    copy = os.path.join(self.docs, tree_path)
                    os.makedirs(os.path.dirname(copy), exist_ok=True)
                    shutil.copyfile(os.path.join(self.course.top, tree_path), copy)
                return match.group(0)
            if os.path.basename(tree_path) != "README.md":
                tree_path = os.path.normpath(os.path.join(tree_path, "README.md"))
            if tree_path not in self.page_of:
                return label
            link = relative(self.page_of[tree_path], page)
            return f"[{label}]({link}{'#' + fragment if fragment else ''})"

        return readmes.LINK.sub(replace, text)

    # --- A folder's page -------------------------------------------------

    def readme_page(self, readme):
        page = self.page_of[readme.path]
        lessons = {id(lesson.unit): lesson for lesson in self.course.lessons_of(readme)}
        waiting = list(self.course.exercises_on(readme))
        shown_pictures = set()
        out = []
        last_level = 1
        for section, unit in readme.units():
            text = unit.text
            if unit.kind != "code":
                text = self.rewrite_links(text, readme)
            out.append(text)
            if unit.kind == "heading":
                last_level = unit.level
                continue
            if id(unit) in lessons:
                out.append(self.lesson_box(lessons[id(unit)], page))
            for name in readmes.pictures(unit):
                if name not in shown_pictures:
                    shown_pictures.add(name)
                    picture = self.picture(name, section, unit, readme)
                    if picture:
                        out.append(picture)
            named = {os.path.normpath(os.path.join(readme.folder, n))
                     for n in readmes.names(unit.text)}
            for exercise in [e for e in waiting if e.starter in named]:
                waiting.remove(exercise)
                out.append(self.exercise_card(exercise, page, min(last_level + 1, 6)))
        if waiting:
            out.append("## Exercises")
            out += [self.exercise_card(e, page, 3) for e in waiting]
        return "\n\n".join(out) + "\n"

    def source_file(self, path):
        """The file shown for a lesson file, and its title."""
        exercise = self.shown_instead.get(path)
        if exercise:
            return (exercise.starter,
                    f"{exercise.starter} (the starter of {exercise.name}: "
                    f"{path} with its gap)")
        return path, path

    def lesson_box(self, lesson, page):
        out = []
        for number, path in enumerate(lesson.files):
            shown, title = self.source_file(path)
            if "/solutions/" in f"/{shown}":
                continue
            with open(os.path.join(self.course.top, shown), encoding="utf-8") as f:
                text = f.read().rstrip("\n")
            language = LANGUAGES.get(os.path.splitext(shown)[1], "text")
            if os.path.basename(shown) == "CMakeLists.txt":
                language = "cmake"
            marks = defined_lines(text, lesson.names) if language == "cpp" else []
            options = 'linenums="1"'
            if marks:
                options += f' hl_lines="{" ".join(map(str, marks))}"'
            fence = fence_for(text)
            block = f"{fence} {language} {options}\n{text}\n{fence}"
            opener = "???+" if number == 0 else "???"
            out.append(f'{opener} abstract "{title}"\n\n{indented(block)}')
        if lesson.commands:
            lines = [line for unit in lesson.commands for line in unit.code()]
            out.append("Run it from the top of the checkout:\n\n```sh\n"
                       + "\n".join(lines) + "\n```")
        links = [f"[{e.name}]({self.link_to_exercise(e, page)})"
                 for e in lesson.exercises if self.link_to_exercise(e, page)]
        if links:
            out.append("Practise it: " + " · ".join(links))
        return "\n\n".join(out)

    def picture(self, name, section, unit, readme):
        found = self.pictures.find(name, section, unit)
        if not found:
            return None
        target = os.path.join("pictures", os.path.basename(found))
        full = os.path.join(self.docs, readme.folder, target)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        shutil.copyfile(os.path.join(self.course.top, found), full)
        self.picture_count += 1
        return f"![{name}]({target})"

    def exercise_card(self, exercise, page, level):
        heading = "#" * level
        facts = []
        if exercise.lesson:
            facts.append(f"Practises [{exercise.lesson.title}]"
                         f"({self.link_to_lesson(exercise.lesson, page)}) "
                         f"(`{exercise.lesson_file}`)")
        facts.append(f"starter `{exercise.starter}`")
        if exercise.needs:
            facts.append("needs " + ", ".join(exercise.needs))
        out = [f"{heading} Exercise `{exercise.name}` {{#{exercise.anchor}}}",
               "; ".join(facts) + "."]
        if exercise.task:
            out.append(f"**Task.** {escaped(exercise.task)}")
        if exercise.teaches:
            out.append(f"**What it teaches.** {escaped(exercise.teaches)}")
        out.append("Check it from the top of the checkout:\n\n"
                   f"```sh\n./scripts/exercise check {exercise.name}\n```")
        if exercise.hint:
            out.append(f'??? tip "Hint"\n\n{indented(escaped(exercise.hint))}')
        return "\n\n".join(out)

    # --- The course plan -------------------------------------------------

    def plan_entry(self, lesson, indent):
        """A lesson's files to read first, then its exercises, one a line."""
        files = ", ".join(f"`{p}`" for p in lesson.files)
        lines = [f"look first at {files}." if indent else f"Look first at {files}."]
        if not indent and lesson.exercises:
            lines.append("")
        for exercise in lesson.exercises:
            link = self.link_to_exercise(exercise, "index.md")
            if link:
                what = f": {escaped(exercise.teaches)}" if exercise.teaches else ""
                lines.append(f"{indent}- Exercise [{exercise.name}]({link}){what}")
        return "\n".join(lines)

    def plan(self):
        course = self.course
        out = [f"# {escaped(course.name)}"]
        if course.welcome:
            out.append(escaped(course.welcome))
        intro = next((r for r in course.readmes if not r.folder), None)
        line = ("The lessons in course order: for each, the files to read "
                "first and the exercises that practise it.")
        if intro:
            line += f" How to build, run and practise: [{intro.title}]({self.page_of[intro.path]})."
        out.append(line)
        number = 0
        others = []
        for readme in course.readmes:
            lessons = course.lessons_of(readme)
            page = self.page_of[readme.path]
            if not lessons:
                if readme.folder:
                    others.append(f"[{readme.title}]({page})")
                continue
            if len(lessons) == 1 and not lessons[0].anchor:
                # The README is one lesson: its heading is the lesson's.
                number += 1
                out.append(f"## {number}. [{readme.title}]({page})")
                out.append(self.plan_entry(lessons[0], ""))
                continue
            out.append(f"## [{readme.title}]({page})")
            items = []
            for lesson in lessons:
                number += 1
                link = self.link_to_lesson(lesson, "index.md")
                items.append(f"{number}. **[{lesson.title}]({link})**: "
                             + self.plan_entry(lesson, "    "))
            out.append("\n".join(items))
        if others:
            out.append("Also in the book: " + ", ".join(others) + ".")
        return "\n\n".join(out) + "\n"
