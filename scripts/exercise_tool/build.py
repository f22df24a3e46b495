"""The exercises' own build in build/exercises (preset "exercises"): set up
once, built by target, one build at a time, and read back through the
manifest that cmake/PeltraExercises.cmake generates and the records its
launcher keeps beside every object file and program."""

import contextlib
import fcntl
import json
import os
import re
import shutil
import subprocess
import sys
from dataclasses import dataclass, field
from typing import List, Optional

from .diagnostics import Diagnostic, from_gcc

MANIFEST = "exercises_manifest.json"


class SetupError(Exception):
    """The exercises' build could not be set up; the message says where the
    whole log is."""


class Tree:
    """A checkout: its top, its exercises' build and where the tool keeps its
    own state (verdicts, the last runs' reports)."""

    def __init__(self, root):
        self.root = os.path.realpath(root)
        self.build = os.path.join(self.root, "build", "exercises")
        self.state = os.path.join(self.build, "tool")

    def path(self, relative):
        return os.path.join(self.root, relative)

    def resolve(self, path):
        """An absolute, real path for a path that a compiler, a test or a
        sanitizer printed: relative ones are relative to the build folder,
        where every compile runs."""
        if not os.path.isabs(path):
            path = os.path.join(self.build, path)
        return os.path.realpath(path)

    def shown(self, path):
        """A path as the student sees it: from the top of the checkout."""
        real = self.resolve(path)
        if real.startswith(self.root + os.sep):
            return real[len(self.root) + 1:]
        return path


@dataclass
class Check:
    """One check of a variant, in the order they run."""
    kind: str          # tests, output, passes or catches
    name: str
    program: str
    expected: Optional[str] = None
    exit_code: int = 0
    args: tuple = ()
    faulty: tuple = ()


@dataclass
class Variant:
    """What the build made of one variant of an exercise."""
    target: str
    file: str
    objects: List[str]
    programs: List[str]
    checks: List[Check]
    # The tests' own sources, whose compile may be a check (a static_assert).
    check_files: List[str] = field(default_factory=list)


@dataclass
class Entry:
    """An exercise as this build knows it: left out (the packages it lacks),
    broken (what of it is not in the tree) or built in variants."""
    left_out: List[str]
    variants: dict
    broken: Optional[str] = None


def _split(joined):
    return [part for part in joined.split(";") if part]


def read_manifest(tree):
    """The exercises as the last configure made them, by name; None when the
    build was never set up."""
    try:
        with open(os.path.join(tree.build, MANIFEST), encoding="utf-8") as file:
            data = json.load(file)
    except (OSError, json.JSONDecodeError):
        return None
    entries = {}
    for name, entry in data["exercises"].items():
        variants = {}
        for variant, made in entry.get("variants", {}).items():
            checks = [Check(kind=c["kind"], name=c["name"], program=c["program"],
                            expected=c.get("expected"), exit_code=c.get("exit_code", 0),
                            args=tuple(c.get("args", ())), faulty=tuple(c.get("faulty", ())))
                      for c in made["checks"]]
            variants[variant] = Variant(made["target"], made["file"], _split(made["objects"]),
                                        _split(made["programs"]), checks,
                                        _split(made.get("check_files", "")))
        entries[name] = Entry(entry["left_out"], variants, entry.get("broken"))
    return entries


@contextlib.contextmanager
def locked(tree):
    """Holds the build folder's lock: ninja never runs twice at once in one
    build folder (a watch and a check, say); the second waits."""
    os.makedirs(tree.build, exist_ok=True)
    with open(os.path.join(tree.build, ".exercise.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(lock, fcntl.LOCK_UN)


PRESET = "exercises"
PRESETS = "CMakePresets.json"


def _preset_value(value, root, name, generator):
    """A preset's cache variable as CMake puts it in the cache: a boolean is
    TRUE or FALSE, {"type", "value"} its value, and the macros of a preset
    expanded (an unknown macro stays as it is, so that the value differs
    from the cache's and the build is set up again rather than left stale)."""
    if isinstance(value, dict):
        value = value.get("value")
    if isinstance(value, bool):
        return "TRUE" if value else "FALSE"
    macros = {"sourceDir": root, "sourceParentDir": os.path.dirname(root),
              "sourceDirName": os.path.basename(root), "presetName": name,
              "generator": generator or "", "dollar": "$"}
    value = re.sub(r"\$\{(\w+)\}", lambda m: macros.get(m.group(1), m.group(0)), str(value))
    return re.sub(r"\$p?env\{(\w+)\}",
                  lambda m: os.environ.get(m.group(1), m.group(0)), value)


def preset_settings(root, name=PRESET):
    """The generator and the cache variables that the configure preset
    `name` of CMakePresets.json sets, its parents' included (the first
    parent named wins over later ones, the preset over all)."""
    try:
        with open(os.path.join(root, PRESETS), encoding="utf-8") as file:
            presets = {p["name"]: p for p in json.load(file).get("configurePresets", [])}
    except (OSError, ValueError, KeyError, TypeError):
        return None, {}

    def merged(preset_name, seen=()):
        preset = presets.get(preset_name, {})
        parents = preset.get("inherits", [])
        generator, variables = None, {}
        for parent in reversed([parents] if isinstance(parents, str) else parents):
            if parent not in seen:
                parent_generator, parent_variables = merged(parent, seen + (preset_name,))
                generator = parent_generator or generator
                variables.update(parent_variables)
        variables.update(preset.get("cacheVariables", {}))
        return preset.get("generator", generator), variables

    generator, variables = merged(name)
    return generator, {key: _preset_value(value, root, name, generator)
                       for key, value in variables.items() if value is not None}


def _tool_settings():
    """The cache variables the tool sets besides the preset's."""
    settings = {"Python3_EXECUTABLE": sys.executable}
    if shutil.which("ccache") and not os.environ.get("CMAKE_CXX_COMPILER_LAUNCHER"):
        settings["CMAKE_CXX_COMPILER_LAUNCHER"] = "ccache"
    return settings


def read_cache(build_dir):
    """The variables of a build folder's CMakeCache.txt, by name; {} where
    there is none."""
    found = {}
    try:
        with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8",
                  errors="replace") as file:
            for line in file:
                match = re.match(r"([^#/\s][^:=]*)(?::[A-Z]+)?=(.*)$", line.rstrip("\n"))
                if match:
                    found[match.group(1)] = match.group(2)
    except OSError:
        pass
    return found


def _unlike_preset(tree, generator, wanted):
    """The settings (names) in which build/exercises differs from what
    configuring it now would set: empty when it is up to date."""
    cache = read_cache(tree.build)
    differ = [key for key, value in sorted(wanted.items()) if cache.get(key) != value]
    if generator and cache.get("CMAKE_GENERATOR", generator) != generator:
        differ.append("CMAKE_GENERATOR")
    return differ


def configure(tree):
    """Sets up build/exercises the first time, and again wherever its cache
    differs from the exercises preset or from the tool's own settings: a
    build folder set up by an older checkout (another preset, without the
    sanitizers) would otherwise keep its old settings, since a build only
    configures again by itself, with the cache it has, when a CMakeLists.txt
    or exercises.json changed."""
    generator, wanted = preset_settings(tree.root)
    tool = _tool_settings()
    wanted.update(tool)
    if os.path.exists(os.path.join(tree.build, "build.ninja")):
        differ = _unlike_preset(tree, generator, wanted)
        if not differ:
            return
        print("The exercises' build was set up with other settings ({}): setting it up "
              "again...".format(", ".join(differ)), file=sys.stderr)
        if "CMAKE_GENERATOR" in differ:
            # CMake refuses another generator in the same build folder.
            os.remove(os.path.join(tree.build, "CMakeCache.txt"))
    else:
        print("Setting up the exercises' build in build/exercises (once)...", file=sys.stderr)
    command = ["cmake", "--preset", PRESET] + ["-D{}={}".format(k, v) for k, v in tool.items()]
    os.makedirs(tree.build, exist_ok=True)
    log = os.path.join(tree.build, "configure.log")
    with open(log, "w") as out:
        status = subprocess.run(command, cwd=tree.root, stdout=out, stderr=subprocess.STDOUT,
                                check=False).returncode
    if status != 0:
        # Without a complete configure the next attempt must start afresh.
        with contextlib.suppress(OSError):
            os.remove(os.path.join(tree.build, "build.ninja"))
        with open(log, encoding="utf-8", errors="replace") as out:
            last = out.read().splitlines()[-12:]
        # What may be missing, listed without installing anything.
        deps = os.path.join(tree.root, "scripts", "deps")
        if os.path.exists(deps):
            subprocess.run([deps], cwd=tree.root, env={**os.environ, "PELTRA_NO_INSTALL": "1"},
                           check=False)
        raise SetupError("\n".join(last) + "\nThe exercises' build could not be set up "
                         "(all of it in {}).".format(tree.shown(log)))


@dataclass
class BuildResult:
    status: int
    started: float
    log: str


def build(tree, targets, keep_going=False):
    """Builds the targets in one ninja call (configuring first where needed)
    under the lock; its output goes to build/exercises/build.log."""
    command = ["cmake", "--build", tree.build, "--target"] + list(targets)
    if keep_going:
        command += ["--", "-k", "0"]
    log = os.path.join(tree.build, "build.log")
    with locked(tree):
        configure(tree)
        # The file system's clock, as the records' times are: it may lag
        # the system's by a tick.
        stamp = os.path.join(tree.build, ".build.stamp")
        with open(stamp, "w"):
            pass
        started = os.path.getmtime(stamp)
        with open(log, "w") as out:
            status = subprocess.run(command, cwd=tree.root, stdout=out,
                                    stderr=subprocess.STDOUT, check=False).returncode
    return BuildResult(status, started, log)


def _record(path, suffix, started):
    """A launcher's record of the compile or link that made `path`, where it
    describes what is built now: a step that ran in this build, or the
    successful one that made the file there is."""
    try:
        fresh = os.path.getmtime(path + suffix) >= started
        with open(path + suffix, encoding="utf-8") as file:
            record = json.load(file)
    except (OSError, json.JSONDecodeError):
        return None
    if fresh or (record["status"] == 0 and os.path.exists(path)):
        return record
    return None


@dataclass
class Diagnostics:
    """What the compiler and the linker said of one variant's build."""
    warnings: List[Diagnostic]   # on the variant's own file
    errors: List[Diagnostic]     # anywhere, the variant's own file first
    link_errors: List[str]       # the text of each link that failed
    firsts: List[Diagnostic]     # the first error of each compile that failed

    def failed(self):
        return bool(self.errors or self.link_errors)

    def stopped_in(self, files):
        """The first error, where every compile that failed stopped first in
        one of `files` (and every link that ran succeeded); else None."""
        if self.link_errors or not self.firsts or any(d.file not in files for d in self.firsts):
            return None
        return self.firsts[0]


def diagnostics(tree, variant, started=0.0):
    """The diagnostics of a variant's objects and programs: warnings on the
    student's file (each once, though a header is compiled into several
    objects), errors anywhere, and the links that failed."""
    own = tree.resolve(variant.file)
    warnings, errors, links, firsts = [], [], [], []
    seen = set()
    for obj in variant.objects:
        record = _record(obj, ".diagnostics.json", started)
        if not record:
            continue
        found = from_gcc(record["diagnostics"], tree.resolve, own)
        firsts += [d for d in found if d.is_error()][:1]
        for diagnostic in found:
            key = (diagnostic.kind, diagnostic.file, diagnostic.line, diagnostic.column,
                   diagnostic.message)
            if key in seen:
                continue
            seen.add(key)
            if diagnostic.is_error():
                errors.append(diagnostic)
            elif diagnostic.kind == "warning" and diagnostic.file == own:
                warnings.append(diagnostic)
    for program in variant.programs:
        record = _record(program, ".link.json", started)
        if record and record["status"] != 0:
            links.append(record["text"])
    errors.sort(key=lambda d: d.file != own)
    return Diagnostics(warnings, errors, links, firsts)
