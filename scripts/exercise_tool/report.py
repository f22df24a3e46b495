"""The student's state as files that leave the checkout: JUnit XML, which CI
systems and classroom graders read, and JSON, which the teacher's class grid
merges (classgrid.py). Each exercise with its state, the checks passed (of
all of them, where every one ran) and its first failure."""

import datetime
import json
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

from .session import UsageError, checked
from .verdict import BROKEN, DONE, LEFT_OUT, NO_COMPILE, TOOL

# What a report is, and which version of its layout: the class grid merges
# only the reports it knows how to read.
FORMAT = "peltra-exercise-report"
FORMAT_VERSION = 1


def first_failure(verdict, shown):
    """The first thing that keeps the exercise from done, as data: the
    first compile error, else the failing check, else a warning; None when
    there is none."""
    def diagnostic(what, d):
        place = "{}:{}".format(shown(d.file), d.line) if d.file else None
        return {"check": what, "summary": d.message, "location": place, "details": []}
    if verdict.errors:
        return diagnostic("the compiler", verdict.errors[0])
    if verdict.link_errors:
        lines = verdict.link_errors[0].splitlines()
        return {"check": "the linker", "summary": lines[0] if lines else "",
                "location": None, "details": lines[1:6]}
    if verdict.failure:
        failure = verdict.failure.to_dict()
        failure["details"] = failure["details"][:12]
        return failure
    if verdict.warnings:
        return diagnostic("the compiler's warning", verdict.warnings[0])
    if verdict.state == LEFT_OUT:
        return {"check": "this machine", "summary": "needs " + " ".join(verdict.left_out),
                "location": None, "details": []}
    return None


def states(session):
    """Every exercise's verdict, checking those no kept verdict tells (an
    untouched starter too, so that its first failure is known)."""
    verdicts = []
    for exercise in session.course.exercises:
        verdict = session.progress.known(exercise)
        if verdict is None or session.progress.untold(verdict):
            verdict = checked(session, exercise)
        verdicts.append(verdict)
    return verdicts


def _git_config(root, key):
    done = subprocess.run(["git", "config", key], cwd=root, capture_output=True, text=True,
                          check=False)
    return done.stdout.strip()


def student(root, given=None):
    """Who the report is of: the name given, else git's user.name and
    user.email."""
    if given:
        return {"name": given, "email": ""}
    return {"name": _git_config(root, "user.name"), "email": _git_config(root, "user.email")}


def as_data(course, who, verdicts, shown, made=None):
    exercises = []
    for verdict in verdicts:
        exercises.append({"name": verdict.exercise, "state": verdict.state,
                          "passed": verdict.passed, "total": verdict.total,
                          "first_failure": None if verdict.done else
                          first_failure(verdict, shown)})
    made = made or datetime.datetime.now(datetime.timezone.utc)
    return {"format": FORMAT, "format_version": FORMAT_VERSION, "course": course.course,
            "edition": course.edition or "full", "student": who,
            "made": made.isoformat(timespec="seconds"),
            "done": sum(v.done for v in verdicts), "exercises": exercises}


def as_junit(data):
    """The report as JUnit XML: the course a suite, each exercise a test
    case; "not yet" a failure, "does not compile" an error, an exercise
    this machine cannot check skipped."""
    cases = data["exercises"]
    counts = {"failures": 0, "errors": 0, "skipped": 0}
    suite = ElementTree.Element("testsuite", name=data["course"])
    properties = ElementTree.SubElement(suite, "properties")
    for key, value in (("student", data["student"]["name"]),
                       ("email", data["student"]["email"]),
                       ("format_version", str(data["format_version"]))):
        ElementTree.SubElement(properties, "property", name=key, value=value)
    for case in cases:
        element = ElementTree.SubElement(suite, "testcase", name=case["name"],
                                         classname="exercises")
        failure = case["first_failure"] or {}
        message = " ".join(part for part in (failure.get("check"), failure.get("summary"))
                           if part) or case["state"]
        text = "\n".join(filter(None, [failure.get("location")] + failure.get("details", [])))
        if case["state"] == DONE:
            continue
        if case["state"] in (LEFT_OUT, BROKEN):
            counts["skipped"] += 1
            ElementTree.SubElement(element, "skipped", message=message)
        else:
            tag = "error" if case["state"] == NO_COMPILE else "failure"
            counts[tag + "s"] += 1
            ElementTree.SubElement(element, tag, message=message, type=case["state"]).text = text
    suite.set("tests", str(len(cases)))
    for key, value in counts.items():
        suite.set(key, str(value))
    top = ElementTree.Element("testsuites", name=data["course"], tests=str(len(cases)),
                              **{k: str(v) for k, v in counts.items()})
    top.append(suite)
    ElementTree.indent(top)
    return ElementTree.tostring(top, encoding="unicode", xml_declaration=True) + "\n"


def _write(path, text):
    with open(path, "w", encoding="utf-8") as file:
        file.write(text)


def parse_args(args):
    """(junit, json, student) from report's words, or a line saying what is
    wrong with them."""
    found = {"--junit": None, "--json": None, "--student": None}
    words = list(args)
    while words:
        word = words.pop(0)
        if word not in found or not words:
            return None, "report takes --junit FILE, --json FILE and --student NAME, not " + word
        found[word] = words.pop(0)
    if not (found["--junit"] or found["--json"]):
        return None, "report writes --junit FILE, --json FILE or both"
    return (found["--junit"], found["--json"], found["--student"]), None


def run(session, args, say):
    """The report command: writes the files; True when every exercise is done."""
    parsed, problem = parse_args(args)
    if problem:
        raise UsageError(problem)
    junit, json_path, given = parsed
    verdicts = states(session)
    data = as_data(session.course, student(session.tree.root, given), verdicts, session.shown)
    if json_path:
        _write(json_path, json.dumps(data, indent=1, ensure_ascii=False) + "\n")
    if junit:
        _write(junit, as_junit(data))
    for case in data["exercises"]:
        passed = "{} of {}".format(case["passed"], case["total"]) \
            if case["total"] is not None else "{} passed".format(case["passed"])
        say("  {:17} {:24} {}".format(case["state"], case["name"], passed))
    say("{} of {} done; written to {}.".format(
        data["done"], len(verdicts), " and ".join(filter(None, (junit, json_path)))))
    if data["done"] < len(verdicts):
        print("(`{} report` ends with status 0 once every exercise is done.)".format(TOOL),
              file=sys.stderr)
    return data["done"] == len(verdicts)
