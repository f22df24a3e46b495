"""The course: every README of the tree, their lessons and the exercises.

The order is the course's: the exercises are declared in course order
(exercises.json), so a top folder comes where its first exercise does;
folders without exercises follow in the order the top README links them.
The lessons are the lesson files the exercises name, in the order of
their first exercise, each on the page of the README that introduces it
(lessons.py). A folder's README comes before those of its subfolders, whose
pages belong to it.
"""

import json
import os
import re
import subprocess
from dataclasses import dataclass, field

from . import lessons as lesson_finder
from . import readme as readmes

MANIFEST = "exercises.json"


class CourseError(Exception):
    """A declaration the book cannot be built from, said in a line."""


@dataclass
class Exercise:
    name: str
    starter: str
    lesson_file: str
    task: str
    hint: str
    teaches: str
    needs: list
    lesson: object = None  # the Lesson it practises
    page: object = None  # the Readme whose page shows it

    @property
    def anchor(self):
        return f"exercise-{self.name}"


def written(text):
    """A declared text, or "" where it is still to be written ("TODO")."""
    text = (text or "").strip()
    return "" if text.upper().startswith("TODO") else text


@dataclass
class Course:
    top: str
    name: str
    welcome: str
    readmes: list  # in book order
    lessons: list = field(default_factory=list)  # in course order, by page
    exercises: list = field(default_factory=list)  # in course order

    def lessons_of(self, readme):
        return [lesson for lesson in self.lessons if lesson.readme is readme]

    def faults(self):
        """What the declaration or the READMEs get wrong about the lessons,
        a line each: a lesson file that is not there, one no README
        introduces (a README that forgot a lesson)."""
        found = []
        for lesson in self.lessons:
            names = ", ".join(e.name for e in lesson.exercises)
            if lesson.missing:
                found.append(f"{lesson.path}, the lesson of {names} in {MANIFEST}, "
                             f"is not in the tree")
            if not lesson.unit:
                where = (f"the end of {lesson.readme.path}'s page" if lesson.readme
                         else "no page")
                found.append(f"no README introduces {lesson.path}, the lesson of {names} "
                             f"(none names it, its header or its program outside a "
                             f"\"Look first\" sentence and the exercises' lines); it is "
                             f"shown at {where}")
        return found

    def groups(self):
        """The pages by folder, in book order: each top folder's README (or
        the first page in it) with the pages below it."""
        groups = []
        for readme in self.readmes:
            head = groups[-1][0] if groups else None
            if head and head.folder and readme.folder.startswith(head.folder + "/"):
                groups[-1][1].append(readme)
            else:
                groups.append((readme, []))
        return groups

    def exercises_on(self, readme):
        return [e for e in self.exercises if e.page is readme]


def tree_readmes(top):
    """Every README.md of the tree: those git tracks in a checkout, else all
    outside build folders."""
    try:
        listed = subprocess.run(
            ["git", "ls-files", "--", "*README.md"], cwd=top, check=True,
            capture_output=True, text=True).stdout.split()
        toplevel = subprocess.run(
            ["git", "rev-parse", "--show-toplevel"], cwd=top, check=True,
            capture_output=True, text=True).stdout.strip()
        if os.path.realpath(toplevel) == os.path.realpath(top):
            return [p for p in listed if os.path.basename(p) == "README.md"]
    except (OSError, subprocess.CalledProcessError):
        pass
    found = []
    for folder, dirs, files in os.walk(top):
        dirs[:] = [d for d in dirs if d not in ("build", ".git")]
        if "README.md" in files:
            found.append(os.path.relpath(os.path.join(folder, "README.md"), top))
    return found


def read_exercises(top):
    path = os.path.join(top, MANIFEST)
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except FileNotFoundError:
        return {}, []
    except json.JSONDecodeError as error:
        raise CourseError(f"{MANIFEST} is not valid JSON: {error}") from error
    exercises = []
    for entry in data.get("exercises", []):
        try:
            exercises.append(Exercise(
                name=entry["name"], starter=entry["starter"],
                lesson_file=entry["lesson"], task=entry.get("task", ""),
                hint=entry.get("hint", ""), teaches=written(entry.get("teaches")),
                needs=entry.get("needs", [])))
        except KeyError as missing:
            raise CourseError(f"{MANIFEST}: the exercise "
                              f"{entry.get('name', '?')} has no {missing}") from None
    return data, exercises


def top_folder(path):
    parts = path.split("/")
    return parts[0] if len(parts) > 1 else ""


def linked_folders(readme):
    """The folders (from the top of the tree) a README links, in its order."""
    order = []
    for _, unit in readme.units() if readme else ():
        for bang, _, target in readmes.LINK.findall(unit.text):
            if bang or re.match(r"^[a-z]+:", target):
                continue
            path = os.path.normpath(os.path.join(readme.folder, target.split("#")[0]))
            if os.path.basename(path) == "README.md":
                path = os.path.dirname(path)
            if path not in order:
                order.append(path)
    return order


def nearest_readme(path, by_path):
    folder = os.path.dirname(path)
    while True:
        candidate = os.path.join(folder, "README.md") if folder else "README.md"
        if candidate in by_path:
            return by_path[candidate]
        if not folder:
            return None
        folder = os.path.dirname(folder)


def page_for(exercise, readme_list, by_path):
    """The README whose text names the exercise's starter, else its lesson's."""
    for readme in readme_list:
        for _, unit in readme.units():
            for name in readmes.names(unit.text):
                if os.path.normpath(os.path.join(readme.folder, name)) == exercise.starter:
                    return readme
    if exercise.lesson:
        return exercise.lesson.readme
    return nearest_readme(exercise.starter, by_path)


def load(top, chosen=None):
    """The course of the tree at top; with chosen, only those exercises and
    the pages that show them or their lessons."""
    data, exercises = read_exercises(top)
    # A passage that names any exercise's starter is that exercise's.
    starters = {e.starter for e in exercises}
    if chosen:
        known = {e.name for e in exercises}
        unknown = [name for name in chosen if name not in known]
        if unknown:
            raise CourseError(f"no exercise {', '.join(unknown)} in {MANIFEST} "
                              f"(there are: {', '.join(sorted(known))})")
        exercises = [e for e in exercises if e.name in chosen]

    readme_list = [readmes.read_readme(top, p) for p in tree_readmes(top)]
    by_path = {r.path: r for r in readme_list}

    # Book order: top folders by their first exercise, then as the top
    # README links them, then by name; in a folder, its README first, then
    # those below it as it links them, then by path.
    top_readme = by_path.get("README.md")
    linked = list(dict.fromkeys(f.split("/")[0] for f in linked_folders(top_readme)))
    first_exercise = {}
    for index, exercise in enumerate(exercises):
        for path in (exercise.lesson_file, exercise.starter):
            first_exercise.setdefault(top_folder(path), index)

    def rank(r):
        folder = top_folder(r.path)
        below = linked_folders(by_path.get(os.path.join(folder, "README.md")))
        return (folder not in first_exercise, first_exercise.get(folder, 0),
                linked.index(folder) if folder in linked else len(linked),
                folder, r.folder != folder,
                below.index(r.folder) if r.folder in below else len(below), r.folder)

    ordered = sorted(readme_list, key=rank)

    def candidates(path):
        own = nearest_readme(path, by_path)
        if not own:
            return []
        below = [r for r in ordered if own.folder and r.folder.startswith(own.folder + "/")]
        return [own] + below

    paths = list(dict.fromkeys(e.lesson_file for e in exercises))
    found = lesson_finder.find(top, paths, candidates,
                               lambda path: nearest_readme(path, by_path), starters)
    lesson_of = dict(zip(paths, found))
    for exercise in exercises:
        exercise.lesson = lesson_of[exercise.lesson_file]
        exercise.lesson.exercises.append(exercise)
        exercise.page = page_for(exercise, readme_list, by_path)

    pages = [r for r in ordered if r is not top_readme]
    if chosen:
        wanted = {e.page.path for e in exercises if e.page}
        wanted |= {e.lesson.readme.path for e in exercises if e.lesson.readme}
        pages = [r for r in pages if r.path in wanted]
    elif top_readme:
        pages.insert(0, top_readme)
    course = Course(top, data.get("course", "") or "The lesson book",
                    written(data.get("welcome")), pages, exercises=exercises)
    # Numbered as the plan lists them: by page, in course order on each.
    course.lessons = [lesson for r in pages for lesson in found if lesson.readme is r]
    course.lessons += [lesson for lesson in found if lesson not in course.lessons]
    for number, lesson in enumerate(course.lessons, 1):
        lesson.number = number
    return course
