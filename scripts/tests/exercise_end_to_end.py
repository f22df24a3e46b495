#!/usr/bin/env python3
"""The exercise tool end to end, in a copy of this checkout (a git repository
of its own, so that the starters there are "as handed out"), as a student
uses it: a wrong command and a wrong name, a check that fails and one that
passes once the solution's patch is applied, list answering from kept
verdicts without a build, reset keeping each version the student had, a
check that hangs stopped at its bound, and watch noticing a save and moving
on to the next exercise. Then the teacher's way: a handout of a few
exercises of two folders, proven by content to hold no solution (git's
objects included), one of its exercises solved there, its report, the
class grid of made-up reports and a broken one, and a handout of all that
configures. CI runs it (.ci/run), beside `./scripts/exercise verify`.

Every step is bounded and names what did not come: a minute each, but four
for the first check, which configures and builds the copy's exercises from
nothing (ccache shortens it where the copy's paths match an earlier run's).
"""

import html
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
COPY = os.path.join(ROOT, "build", "exercise-test", "checkout")
TOOL = "./scripts/exercise"
STEP_SECONDS = 60
FIRST_BUILD_SECONDS = 240


class Failed(Exception):
    pass


def copy_checkout():
    """The tracked and untracked (not ignored) files of this checkout, in a
    fresh repository with one commit."""
    shutil.rmtree(os.path.dirname(COPY), ignore_errors=True)
    os.makedirs(COPY)
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others",
                             "--exclude-standard"], cwd=ROOT, capture_output=True,
                            check=True).stdout
    for name in listed.decode().split("\0"):
        source = os.path.join(ROOT, name)
        if name and os.path.isfile(source):
            target = os.path.join(COPY, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copy2(source, target)
    git("init", "-q")
    git("add", "-A")
    git("-c", "user.name=test", "-c", "user.email=test@example.com", "commit", "-qm", "copy")


def git(*args):
    return subprocess.run(["git"] + list(args), cwd=COPY, capture_output=True, text=True,
                          check=True).stdout


def tool(expected_status, *args, seconds=STEP_SECONDS, env=None):
    """Runs the tool in the copy; returns what it printed (both streams)."""
    try:
        result = subprocess.run([TOOL] + list(args), cwd=COPY, capture_output=True, text=True,
                                timeout=seconds, env={**os.environ, **(env or {})})
    except subprocess.TimeoutExpired:
        raise Failed("'{}' did not end within {} s".format(" ".join(args), seconds))
    out = result.stdout + result.stderr
    if result.returncode != expected_status:
        raise Failed("'{}' ended with status {}, not {}:\n{}".format(
            " ".join(args), result.returncode, expected_status, out))
    return out


def says(out, *texts):
    for text in texts:
        if text not in out:
            raise Failed("no line saying '{}' in:\n{}".format(text, out))


def read(path):
    with open(os.path.join(COPY, path), encoding="utf-8") as file:
        return file.read()


def write(path, text):
    with open(os.path.join(COPY, path), "w", encoding="utf-8") as file:
        file.write(text)


def apply_solution(name):
    patch = tool(0, "solution", name)
    subprocess.run(["git", "apply"], cwd=COPY, input=patch, text=True, check=True)


SUM = "data/exercises/sum.cpp"
HANGS = """#include "summation.h"

#include <future>

double sum(std::vector<double>& numbers) {
  std::promise<double> never;
  return never.get_future().get() + static_cast<double>(numbers.size());
}
"""


def wrong_words():
    out = tool(2, "check", "bubble")
    says(out, "No exercise is called 'bubble'", "  bubble_sort")
    says(tool(2, "frobnicate"), "No command 'frobnicate'")


def fail_then_pass():
    out = tool(1, "check", "sum", seconds=FIRST_BUILD_SECONDS)
    says(out, "sum: not yet.", "SumTest.Values fails", "data/tests/summation_test.cpp:",
         "Stuck? ./scripts/exercise hint sum")
    apply_solution("sum")
    out = tool(0, "check", "sum")
    says(out, "sum: done.", "Compare yours with data/summation.cpp.")


def list_from_kept_verdicts():
    """With nothing changed since the check, list builds nothing."""
    log = os.path.join(COPY, "build", "exercises", "build.log")
    before = os.stat(log).st_mtime_ns
    out = tool(1, "list")
    says(out, "  done              sum", "  not yet           bubble_sort")
    if os.stat(log).st_mtime_ns != before:
        raise Failed("list built again though nothing changed since the check")


def reset_keeps_every_version():
    solved = read(SUM)
    says(tool(0, "reset", "sum"), "your version is in data/exercises/sum.cpp.mine")
    if read(SUM + ".mine") != solved:
        raise Failed("reset did not keep the student's version")
    if git("status", "--porcelain", "--untracked-files=all", "--", "data"):
        raise Failed("reset did not put the starter back, or git sees the .mine file")
    write(SUM, solved + "// a second attempt\n")
    says(tool(0, "reset", "sum"), "data/exercises/sum.cpp.mine2")
    if read(SUM + ".mine") != solved or "second attempt" not in read(SUM + ".mine2"):
        raise Failed("a second reset did not keep both versions")
    says(tool(0, "reset", "sum"), "nothing to reset")


def hang_stopped():
    write(SUM, HANGS)
    out = tool(1, "check", "sum", env={"PELTRA_EXERCISE_TIMEOUT": "2"})
    says(out, "SumTest.Values was stopped after 2 s: a wait did not wake")
    git("checkout", "-q", SUM)


def wait_for(path, text, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        with open(path, encoding="utf-8", errors="replace") as file:
            if text in file.read():
                return
        time.sleep(0.5)
    with open(path, encoding="utf-8", errors="replace") as file:
        raise Failed("{} within {} s:\n{}".format(what, seconds, file.read()))


def watch_moves_on():
    """watch sum notices the save that solves it, then shows the next one.
    It runs in a process group of its own, ended as a whole as Ctrl-C
    would end it."""
    out = os.path.join(COPY, "watched")
    with open(out, "w") as log:
        # The README's command, with the exercise's name.
        watcher = subprocess.Popen("./scripts/exercise watch sum".split(), cwd=COPY, stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True)
    try:
        wait_for(out, "Watching data/exercises/sum.cpp", STEP_SECONDS,
                 "watch did not start watching")
        apply_solution("sum")
        wait_for(out, "sum: done.", STEP_SECONDS, "watch gave no verdict on the saved file")
        wait_for(out, "data/exercises/bubble_sort.cpp (the lesson:", STEP_SECONDS * 2,
                 "watch did not move on to the next exercise")
        wait_for(out, "Watching data/exercises/bubble_sort.cpp", STEP_SECONDS,
                 "watch did not go on to watch the next exercise's file")
    finally:
        os.killpg(watcher.pid, signal.SIGTERM)
        watcher.wait(timeout=STEP_SECONDS)


# The teacher's commands as the README gives them.
HAND_OUT = "./scripts/exercise handout build/handout sum bubble_sort digit_loops"
CLASS = "./scripts/exercise class --csv build/class.csv --html build/class.html reports/*.json"
HANDOUT = os.path.join(COPY, "build", "handout")
# A line shorter than this ("}", "return total;") proves nothing.
DISTINCTIVE = 12


def shell(line, cwd, expected_status, seconds=STEP_SECONDS):
    try:
        result = subprocess.run(line, shell=True, cwd=cwd, capture_output=True, text=True,
                                timeout=seconds)
    except subprocess.TimeoutExpired:
        raise Failed("'{}' did not end within {} s".format(line, seconds))
    if result.returncode != expected_status:
        raise Failed("'{}' ended with status {}, not {}:\n{}{}".format(
            line, result.returncode, expected_status, result.stdout, result.stderr))
    return result.stdout + result.stderr


def cut_out_lines(names):
    """Per exercise, the lines its solution has that its starter has not
    (not even within a longer line): what the gap held."""
    declared = {e["name"]: e for e in json.loads(read("exercises.json"))["exercises"]}
    found = {}
    for name in names:
        entry = declared[name]
        starter = read(entry["starter"])
        found[name] = [line.strip() for line in read(entry.get("solution", entry["lesson"]))
                       .splitlines() if len(line.strip()) >= DISTINCTIVE and
                       line.strip() not in starter]
        if not found[name]:
            raise Failed("{}: no line of its solution to look for".format(name))
    return found


def no_solution_in(root, names):
    """No line that a chosen exercise's gap held is in the handout, except
    where the file it was made from has it too (a test that happens to share
    a line; a lesson that holds a starter was made from the starter); and
    git holds nothing but the one commit's files."""
    commits = subprocess.run(["git", "rev-list", "--count", "--all"], cwd=root,
                             capture_output=True, text=True, check=True).stdout.strip()
    if commits != "1":
        raise Failed("the handout has {} commits, not one".format(commits))
    objects = subprocess.run(["git", "cat-file", "--batch-all-objects", "--batch-check"],
                             cwd=root, capture_output=True, text=True, check=True).stdout
    blobs = {line.split()[0] for line in objects.splitlines() if line.split()[1] == "blob"}
    at_head = {line.split()[2] for line in subprocess.run(
        ["git", "ls-tree", "-r", "HEAD"], cwd=root, capture_output=True, text=True,
        check=True).stdout.splitlines()}
    if blobs - at_head:
        raise Failed("git holds {} files that the commit has not".format(len(blobs - at_head)))
    declared = {e["name"]: e for e in json.loads(read("exercises.json"))["exercises"]}
    made_from = {declared[name]["lesson"]: declared[name]["starter"] for name in names
                 if "solution" not in declared[name]}
    wanted = cut_out_lines(names)
    texts, made = {}, {}   # the handout's files; those it made (the book's pages too)
    for top, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if d not in (".git", "build")]
        for file_name in files:
            path = os.path.relpath(os.path.join(top, file_name), root)
            if "/solutions/" in path:
                raise Failed("the handout holds a solution: " + path)
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as file:
                text = file.read()
            if file_name.endswith(".html"):
                text = html.unescape(re.sub(r"<[^>]+>", "", text))
            source = made_from.get(path, path)
            if path in ("exercises.json", "README.md") or \
                    not os.path.isfile(os.path.join(COPY, source)):
                made[path] = text
            else:
                texts[path] = (text, read(source))
    # What the handout made may show only what its own files hold.
    held = "\n".join(text for text, _ in texts.values())
    for path, text in made.items():
        texts[path] = (text, held)
    for path, (text, original) in sorted(texts.items()):
        for name, cut in wanted.items():
            for line in cut:
                if line in text and line not in original:
                    raise Failed("{} holds {}'s line '{}'".format(path, name, line))


def hand_out_and_solve():
    """A starter the checkout solved (watch's step did) keeps the handout
    with its book from being made; put back, the handout is clean."""
    says(shell(HAND_OUT, COPY, 1), "last commit, which the handout is made from: data/exercises/sum.cpp;")
    git("checkout", "-q", SUM)
    says(shell(HAND_OUT, COPY, 0), "The handout of 3 exercises", "the book in book/")
    no_solution_in(HANDOUT, ["sum", "bubble_sort", "digit_loops"])
    says(shell(TOOL + " solution sum", HANDOUT, 2), "only in the full tree")
    patch = tool(0, "solution", "sum").replace("/data/exercises/sum.cpp", "/data/summation.cpp")
    subprocess.run(["git", "apply"], cwd=HANDOUT, input=patch, text=True, check=True)
    says(shell(TOOL + " check sum", HANDOUT, 0, FIRST_BUILD_SECONDS), "sum: done.")


def report_and_class():
    """The handout's CI line reports one of three done; three made-up
    students' reports from it and a broken one make the grid."""
    out = shell(TOOL + " report --junit build/report.xml --json build/report.json --student Ada",
                HANDOUT, 1, FIRST_BUILD_SECONDS)
    says(out, "1 of 3 done")
    with open(os.path.join(HANDOUT, "build", "report.json"), encoding="utf-8") as file:
        data = json.load(file)
    os.makedirs(os.path.join(COPY, "reports"))
    for student, done in (("Ada", 1), ("Bo", 3), ("Cy", 0)):
        data["student"]["name"] = student
        for at, exercise in enumerate(data["exercises"]):
            exercise["state"] = "done" if at < done else "not yet"
        write("reports/{}.json".format(student), json.dumps(data))
    write("reports/broken.json", "{\"format\": \"peltra-exercise-report\", \"cours")
    out = shell(CLASS, COPY, 0)
    says(out, "reports/broken.json: left out", "3 students by 3 exercises, 4 of 9 done")
    browser_test = os.path.join(HERE, "class_grid_browser_test.py")
    shell("{} {} 3 3".format(browser_test, os.path.join(COPY, "build", "class.html")), COPY, 0)


def hand_out_all():
    target = os.path.join(COPY, "build", "handout-all")
    says(shell(TOOL + " handout build/handout-all --no-book", COPY, 0), "The handout of")
    declared = json.loads(read("exercises.json"))["exercises"]
    names = [e["name"] for e in declared if os.path.exists(os.path.join(COPY, e["lesson"]))]
    no_solution_in(target, names)
    shell("cmake --preset default", target, 0, FIRST_BUILD_SECONDS)


def main():
    copy_checkout()
    steps = [wrong_words, fail_then_pass, list_from_kept_verdicts, reset_keeps_every_version,
             hang_stopped, watch_moves_on, hand_out_and_solve, report_and_class, hand_out_all]
    for step in steps:
        try:
            step()
        except Failed as failure:
            print("exercise_end_to_end: {}: {}".format(step.__name__, failure), file=sys.stderr)
            return 1
        print("exercise_end_to_end: {} passed".format(step.__name__))
    shutil.rmtree(os.path.dirname(COPY), ignore_errors=True)
    print("exercise_end_to_end: all passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
