"""The book's Markdown pages, written from the READMEs and the exercises.

A folder's page is its README, unit by unit as written; after a unit the
book adds what the unit speaks of: after the passage that introduces a
lesson (lessons.py), the lesson's files, highlighted and numbered, and the
lines that run it; after a unit that names a picture, the picture; after
one that names an exercise's starter, the exercise. The pages of a folder's
subfolders are its own in the navigation. The course plan is made of the
lessons' titles, files and exercises alone.
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


def link_text(markdown):
    """Inline Markdown that stands inside a link's brackets: its own
    brackets escaped, outside code."""
    parts = re.split(r"(`[^`]*`)", markdown)
    return "".join(p if p.startswith("`") else re.sub(r"([\[\]])", r"\\\1", p)
                   for p in parts)


def indented(text, by="    "):
    return "\n".join(by + line if line else "" for line in text.split("\n"))


def fence_for(text):
    """A backtick fence longer than any run of backticks in the text."""
    longest = max((len(m) for m in re.findall(r"`+", text)), default=0)
    return "`" * max(3, longest + 1)


def defined_lines(text, names):
    """The lines of a source where the named functions are defined: a line
    at the left margin, not a comment, that names one before "(" and does
    not end in ";"."""
    found = []
    for number, line in enumerate(text.split("\n"), 1):
        if (not line or line[0].isspace() or line.rstrip().endswith(";")
                or line.startswith(("//", "/*", "*"))):
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
        """Writes every page; returns the navigation, in mkdocs's form: a
        folder with pages below it is a section that opens on its own."""
        os.makedirs(self.docs, exist_ok=True)
        for readme in self.course.readmes:
            self._write(self.page_of[readme.path], self.readme_page(readme))
        self._write("index.md", self.plan())
        nav = [{"Course plan": "index.md"}]
        for head, below in self.course.groups():
            page = self.page_of[head.path]
            if below:
                nav.append({head.title: [page] + [{r.title: self.page_of[r.path]}
                                                  for r in below]})
            else:
                nav.append({head.title: page})
        self.page_count = 1 + len(self.course.readmes)
        return nav

    def _write(self, path, text):
        full = os.path.join(self.docs, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)

    # --- Links -----------------------------------------------------------

    def link_to_lesson(self, lesson, from_page):
        if not lesson.readme or lesson.readme.path not in self.page_of:
            return None
        return f"{relative(self.page_of[lesson.readme.path], from_page)}#{lesson.anchor}"

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
        lessons = self.course.lessons_of(readme)
        placed = {}
        for lesson in sorted((l for l in lessons if l.place), key=lambda l: l.order):
            placed.setdefault(id(lesson.place), []).append(lesson)
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
            out += [self.lesson_box(lesson, page) for lesson in placed.get(id(unit), [])]
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
        # A lesson its README forgot still has its place, at the end.
        unplaced = [lesson for lesson in lessons if not lesson.place]
        if unplaced:
            out.append("## Lessons this page does not introduce")
            out += [self.lesson_box(lesson, page) for lesson in unplaced]
        if waiting:
            out.append("## Exercises")
            out += [self.exercise_card(e, page, 3) for e in waiting]
        below = [r for r in self.pages_below(readme) if not self.links_to(readme, r)]
        if below:
            out.append("In this folder too: " + ", ".join(
                f"[{r.title}]({relative(self.page_of[r.path], page)})" for r in below) + ".")
        return "\n\n".join(out) + "\n"

    def links_to(self, readme, other):
        """Whether a README links another README (or its folder)."""
        for _, unit in readme.units():
            for bang, _, target in readmes.LINK.findall(unit.text):
                path = os.path.normpath(os.path.join(readme.folder, target.split("#")[0]))
                if not bang and other.path in (path, os.path.join(path, "README.md")):
                    return True
        return False

    def pages_below(self, readme):
        """The pages of a top folder's subfolders, where it has any."""
        for head, below in self.course.groups():
            if head is readme:
                return below
        return []

    def source_file(self, path):
        """The file shown for a lesson file, and its title."""
        exercise = self.shown_instead.get(path)
        if exercise:
            return (exercise.starter,
                    f"{exercise.starter} (the starter of {exercise.name}: "
                    f"{path} with its gap)")
        return path, path

    def lesson_box(self, lesson, page):
        """A lesson where its page shows it: its number and title, its file
        open, highlighted and numbered, the others folded, the lines that
        run it where the README does not give them just above, and its
        exercises."""
        out = [f"**Lesson {lesson.number}** · {lesson.title}\n{{: #{lesson.anchor} }}"]
        for path in lesson.files:
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
            opener = "???+" if len(out) == 1 else "???"
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
        lesson_link = self.link_to_lesson(exercise.lesson, page)
        if lesson_link:
            facts.append(f"Practises lesson {exercise.lesson.number}, "
                         f"[{link_text(exercise.lesson.title)}]({lesson_link}) "
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

    def plan_entry(self, lesson):
        """A lesson's line: its number and title, its file, its exercises."""
        link = self.link_to_lesson(lesson, "index.md")
        title = link_text(lesson.title)
        shown = f"[{title}]({link})" if link else title
        line = f"{lesson.number}. **{shown}**, `{lesson.path}`"
        links = [f"[{e.name}]({self.link_to_exercise(e, 'index.md')})"
                 for e in lesson.exercises if self.link_to_exercise(e, "index.md")]
        if links:
            line += f": exercise{'s' * (len(links) > 1)} " + ", ".join(links)
        return line

    def plan(self):
        course = self.course
        out = [f"# {escaped(course.name)}"]
        if course.welcome:
            out.append(escaped(course.welcome))
        intro = next((r for r in course.readmes if not r.folder), None)
        line = ("The lessons in course order, under the folder whose page shows "
                "them: each with its title, its file and the exercises that "
                "practise it.")
        if intro:
            line += f" How to build, run and practise: [{intro.title}]({self.page_of[intro.path]})."
        out.append(line)
        others = []
        for head, below in course.groups():
            pages = [head] + below
            lessons = [lesson for r in pages for lesson in course.lessons_of(r)]
            if not lessons:
                if head.folder:
                    others += [f"[{r.title}]({self.page_of[r.path]})" for r in pages]
                continue
            out.append(f"## [{head.title}]({self.page_of[head.path]})")
            out.append("\n".join(self.plan_entry(lesson) for lesson in lessons))
            if below:
                out.append("In this folder too: " + ", ".join(
                    f"[{r.title}]({self.page_of[r.path]})" for r in below) + ".")
        if others:
            out.append("Also in the book: " + ", ".join(others) + ".")
        return "\n\n".join(out) + "\n"
