"""The class's results: many students' JSON reports (report.py) merged into
a grid of students by exercises, with each student's and each exercise's
count of done, as CSV and as one HTML page that needs nothing else. A report
that cannot be read, is of another layout version or of another course is
named on standard error and left out; the rest are kept."""

import csv
import html
import json
import os
import sys
from dataclasses import dataclass
from typing import List

from . import report
from .session import UsageError
from .verdict import DONE


@dataclass
class Student:
    name: str
    email: str
    made: str
    states: dict      # exercise name: its entry in the report
    source: str       # the report's file


def read(path, course):
    """The student of one report, or a line saying why it is left out."""
    try:
        with open(path, encoding="utf-8") as file:
            data = json.load(file)
    except OSError as error:
        return None, "cannot be read ({})".format(error.strerror)
    except (json.JSONDecodeError, UnicodeDecodeError) as error:
        return None, "is not JSON ({})".format(error)
    if not isinstance(data, dict) or data.get("format") != report.FORMAT:
        return None, "is not an exercise report (its format is not {})".format(report.FORMAT)
    if data.get("format_version") != report.FORMAT_VERSION:
        return None, "is of format version {}; this tool reads {}".format(
            json.dumps(data.get("format_version")), report.FORMAT_VERSION)
    if data.get("course") != course:
        return None, "is of the course {}, not {}".format(
            json.dumps(data.get("course")), json.dumps(course))
    who, exercises = data.get("student"), data.get("exercises")
    if (not isinstance(who, dict) or not isinstance(exercises, list) or
            not all(isinstance(e, dict) and isinstance(e.get("name"), str) and
                    isinstance(e.get("state"), str) for e in exercises)):
        return None, "is broken: its student or its exercises are not as a report has them"
    name = str(who.get("name") or "") or os.path.splitext(os.path.basename(path))[0]
    return Student(name, str(who.get("email") or ""), str(data.get("made") or ""),
                   {e["name"]: e for e in exercises}, path), None


def gather(paths, course, complain):
    """The students of the reports that can be merged; of two reports of
    one student (the same name and email), the one made later."""
    students = {}
    for path in paths:
        student, problem = read(path, course)
        if problem:
            complain("{}: left out: it {}.".format(path, problem))
            continue
        key = (student.name, student.email)
        earlier = students.get(key)
        if earlier:
            later, dropped = sorted((earlier, student), key=lambda s: s.made)[::-1]
            complain("{}: left out: {} has a later report, {}.".format(
                dropped.source, student.name, later.source))
            student = later
        students[key] = student
    return sorted(students.values(), key=lambda s: (s.name.lower(), s.email))


def columns(course_exercises, students):
    """The exercises of the grid: those of the course that a report names,
    in course order, then any other a report names."""
    named = []
    for student in students:
        named += [name for name in student.states if name not in named]
    ordered = [name for name in course_exercises if name in named]
    return ordered + [name for name in named if name not in ordered]


@dataclass
class Grid:
    course: str
    exercises: List[str]
    students: List[Student]

    def state(self, student, exercise):
        entry = student.states.get(exercise)
        return entry["state"] if entry else ""

    def done_by(self, student):
        return sum(self.state(student, e) == DONE for e in self.exercises)

    def done_of(self, exercise):
        return sum(self.state(s, exercise) == DONE for s in self.students)


def write_csv(grid, path):
    with open(path, "w", newline="", encoding="utf-8") as file:
        out = csv.writer(file)
        out.writerow(["student", "email"] + grid.exercises + ["done"])
        for student in grid.students:
            out.writerow([student.name, student.email] +
                         [grid.state(student, e) for e in grid.exercises] +
                         [grid.done_by(student)])
        out.writerow(["done", ""] + [grid.done_of(e) for e in grid.exercises] +
                     [sum(grid.done_by(s) for s in grid.students)])


STYLE = """
body { font-family: sans-serif; margin: 1.5em; color: #222; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; text-align: center; }
th.student, td.student { text-align: left; }
thead th { background: #eee; position: sticky; top: 0; }
thead th.exercise { writing-mode: vertical-rl; transform: rotate(180deg); }
td.done { background: #c8e6c9; }
td.not-yet { background: #fff3c4; }
td.does-not-compile { background: #ffcdd2; }
td.left-out, td.broken, td.missing { background: #eceff1; color: #666; }
tfoot td, td.total { font-weight: bold; }
"""


def _cell_class(state):
    return state.replace(" ", "-") if state else "missing"


def _title(entry):
    if not entry:
        return "not in this student's report"
    failure = entry.get("first_failure") or {}
    passed = entry.get("passed")
    total = entry.get("total")
    parts = [entry.get("state", "")]
    if isinstance(passed, int):
        parts.append("{} of {} checks pass".format(passed, total) if isinstance(total, int)
                     else "{} checks pass".format(passed))
    if failure:
        parts.append(" ".join(str(failure.get(k) or "") for k in ("check", "summary")).strip())
    return "; ".join(p for p in parts if p)


def html_page(grid):
    """The grid as one page with its style inside: nothing from elsewhere."""
    e = html.escape
    head = "".join('<th class="exercise" scope="col">{}</th>'.format(e(x)) for x in grid.exercises)
    rows = []
    for student in grid.students:
        cells = []
        for exercise in grid.exercises:
            state = grid.state(student, exercise)
            cells.append('<td class="{}" title="{}">{}</td>'.format(
                _cell_class(state), e(_title(student.states.get(exercise))),
                e(state) or "&ndash;"))
        who = e(student.name) + (' <small>{}</small>'.format(e(student.email))
                                 if student.email else "")
        rows.append('<tr><th class="student" scope="row">{}</th>{}<td class="total">{}</td>'
                    '</tr>'.format(who, "".join(cells), grid.done_by(student)))
    totals = "".join('<td>{}</td>'.format(grid.done_of(x)) for x in grid.exercises)
    return """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>{course}: the class's results</title>
<style>{style}</style>
</head>
<body>
<h1>{course}: the class's results</h1>
<p>{students} students, {exercises} exercises; each cell is the exercise's state in the
student's report (its checks and first failure when you point at it).</p>
<table id="grid">
<thead><tr><th class="student" scope="col">student</th>{head}<th scope="col">done</th></tr></thead>
<tbody>
{rows}
</tbody>
<tfoot><tr><td class="student">done</td>{totals}<td>{all_done}</td></tr></tfoot>
</table>
</body>
</html>
""".format(course=e(grid.course), style=STYLE, students=len(grid.students),
           exercises=len(grid.exercises), head=head, rows="\n".join(rows), totals=totals,
           all_done=sum(grid.done_by(s) for s in grid.students))


def parse_args(args):
    """(csv, html, reports) from the class command's words, or a line saying
    what is wrong with them."""
    found = {"--csv": None, "--html": None}
    reports = []
    words = list(args)
    while words:
        word = words.pop(0)
        if word in found:
            if not words:
                return None, word + " needs a file"
            found[word] = words.pop(0)
        elif word.startswith("--"):
            return None, "class takes --csv FILE, --html FILE and reports, not " + word
        else:
            reports.append(word)
    if not (found["--csv"] or found["--html"]):
        return None, "class writes --csv FILE, --html FILE or both"
    if not reports:
        return None, "class merges the students' JSON reports: name them"
    return (found["--csv"], found["--html"], reports), None


def run(session, args, say):
    """The class command; True when at least one report was merged."""
    parsed, problem = parse_args(args)
    if problem:
        raise UsageError(problem)
    csv_path, html_path, paths = parsed
    course = session.course
    students = gather(paths, course.course, lambda line: print(line, file=sys.stderr))
    if not students:
        print("No report could be merged.", file=sys.stderr)
        return False
    grid = Grid(course.course, columns([x.name for x in course.exercises], students), students)
    if csv_path:
        write_csv(grid, csv_path)
    if html_path:
        with open(html_path, "w", encoding="utf-8") as file:
            file.write(html_page(grid))
    say("{} students by {} exercises, {} of {} done; written to {}.".format(
        len(students), len(grid.exercises), sum(grid.done_by(s) for s in students),
        len(students) * len(grid.exercises), " and ".join(filter(None, (csv_path, html_path)))))
    return True
