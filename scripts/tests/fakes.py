"""What the exercise tool's unit tests share: a scratch checkout with a small
declaration, and fake test programs (Python scripts) that behave as a
GoogleTest program built for the exercises does: they write its JSON report,
its event log and a sanitizer's log where the environment says."""

import json
import os
import shutil
import subprocess
import tempfile
import textwrap
import unittest

from exercise_tool import build


def entry(name="sum", **changes):
    """A declared exercise, as exercises.json holds it."""
    data = {
        "name": name, "starter": "data/exercises/{}.cpp".format(name),
        "lesson": "data/summation.cpp", "target": "data_summation",
        "checks": {"tests": ["data_tests_summation_test"]},
        "task": "Write sum.", "hint": "Add them.", "teaches": "A loop.",
        "wrong": [{"name": "off by one", "replace": "total = 0.0", "with": "total = 1.0"}] * 3,
    }
    data.update(changes)
    return data


def course(*entries):
    return {"format_version": 1, "course": "Test", "welcome": "Hello.", "final": "Bye.",
            "exercises": list(entries) or [entry()]}


LESSON = "double sum(std::vector<double>& numbers) {\n  double total = 0.0;\n" \
         "  for (const double number : numbers) {\n    total = number + total;\n  }\n" \
         "  return total;\n}\n"
STARTER = "double sum(std::vector<double>& numbers) {\n  // Add them up.\n  return 0.0;\n}\n"


class TreeTest(unittest.TestCase):
    """A test with a scratch checkout: data/summation.cpp, its starter
    data/exercises/sum.cpp, exercises.json; a git repository on request."""

    def setUp(self):
        self.root = os.path.realpath(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        self.write("data/summation.cpp", LESSON)
        self.write("data/exercises/sum.cpp", STARTER)
        self.write("exercises.json", json.dumps(course()))
        self.tree = build.Tree(self.root)

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as file:
            file.write(text)
        return full

    def read(self, path):
        with open(os.path.join(self.root, path), encoding="utf-8") as file:
            return file.read()

    def git(self, *args):
        return subprocess.run(["git", "-c", "user.name=t", "-c", "user.email=t@t"] + list(args),
                              cwd=self.root, capture_output=True, text=True, check=True).stdout

    def commit(self):
        self.git("init", "-q")
        self.git("add", "-A")
        self.git("commit", "-qm", "handed out")


def gtest_report(*tests):
    """A GoogleTest JSON report; each test (name, [failure texts])."""
    suites = {}
    for name, failures in tests:
        suite, test = name.split(".")
        suites.setdefault(suite, []).append({
            "name": test, "status": "RUN", "result": "COMPLETED",
            "failures": [{"failure": text, "type": ""} for text in failures]})
    return {"tests": len(tests), "testsuites": [{"name": s, "testsuite": t}
                                                for s, t in suites.items()]}


def fake_program(directory, name, report=None, events=(), exit_status=0, sleep=0,
                 signal_name=None, asan_log=None, stdout=""):
    """Writes an executable that acts as a test program: writes `report` (a
    dict) where --gtest_output says, each of `events` as a line of the event
    log, then an AddressSanitizer log, sleeps, kills itself by a signal or
    exits with `exit_status`."""
    path = os.path.join(directory, name)
    script = textwrap.dedent("""\
        #!/usr/bin/env python3
        import json, os, re, signal, sys, time
        for arg in sys.argv[1:]:
            if arg.startswith("--gtest_output=json:") and {report!r} is not None:
                with open(arg[len("--gtest_output=json:"):], "w") as out:
                    json.dump({report!r}, out)
        events = os.environ.get("PELTRA_TEST_EVENTS")
        if events:
            with open(events, "w") as out:
                for event in {events!r}:
                    out.write(json.dumps(event) + "\\n")
        if {asan_log!r}:
            log = re.search(r'log_path="([^"]*)"', os.environ["ASAN_OPTIONS"]).group(1)
            with open(log + "." + str(os.getpid()), "w") as out:
                out.write({asan_log!r})
        sys.stdout.write({stdout!r})
        sys.stdout.flush()
        time.sleep({sleep!r})
        if {signal_name!r}:
            os.kill(os.getpid(), getattr(signal, {signal_name!r}))
        sys.exit({exit_status!r})
        """).format(report=report, events=list(events), asan_log=asan_log, stdout=stdout,
                    sleep=sleep, signal_name=signal_name, exit_status=exit_status)
    with open(path, "w") as file:
        file.write(script)
    os.chmod(path, 0o755)
    return path


def sharded_program(directory, name, tests):
    """Writes an executable that acts as a test program run in shards: of
    `tests` (each {"name": "Suite.Test", "failures": [texts], "crash": a
    signal's name}), it runs those GoogleTest's sharding deals to the shard
    the environment names, logging each test's events; a test that crashes
    ends the program there, before any report."""
    path = os.path.join(directory, name)
    script = textwrap.dedent("""\
        #!/usr/bin/env python3
        import json, os, signal, sys
        total = int(os.environ.get("GTEST_TOTAL_SHARDS", "1"))
        index = int(os.environ.get("GTEST_SHARD_INDEX", "0"))
        mine = [t for i, t in enumerate({tests!r}) if i % total == index]
        log = open(os.environ["PELTRA_TEST_EVENTS"], "w")
        def event(**fields):
            log.write(json.dumps(fields) + "\\n")
            log.flush()
        suites = {{}}
        for test in mine:
            event(event="start", test=test["name"])
            for text in test.get("failures", []):
                place, _, message = text.partition("\\n")
                event(event="failure", test=test["name"], file=place.split(":")[0],
                      line=int(place.split(":")[1]), message=message)
            if test.get("crash"):
                os.kill(os.getpid(), getattr(signal, test["crash"]))
            event(event="end", test=test["name"], passed=not test.get("failures"))
            suite, case = test["name"].split(".")
            suites.setdefault(suite, []).append({{
                "name": case, "status": "RUN", "result": "COMPLETED",
                "failures": [{{"failure": text}} for text in test.get("failures", [])]}})
        for arg in sys.argv[1:]:
            if arg.startswith("--gtest_output=json:"):
                with open(arg[len("--gtest_output=json:"):], "w") as out:
                    json.dump({{"testsuites": [{{"name": s, "testsuite": t}}
                                               for s, t in suites.items()]}}, out)
        sys.exit(1 if any(t.get("failures") for t in mine) else 0)
        """).format(tests=list(tests))
    with open(path, "w") as file:
        file.write(script)
    os.chmod(path, 0o755)
    return path
