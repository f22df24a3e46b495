"""Verdicts kept by the content they were made of, so that `list` answers at
once when nothing changed since the last check, and never from a stale one.

An exercise's key is a hash of its starter and of everything it is checked
against: the files of its folder (other exercises' starters and a student's
kept .mine files aside), the stand-ins, the shared test helpers, the build's
CMake code, the declaration and this tool itself. Any change to one of them
makes a new key, and the exercise is checked again."""

import hashlib
import json
import os
import subprocess

from .verdict import Verdict

# What every exercise is checked against, besides its own folder.
SHARED = ("outside", "testing", "cmake", "scripts/exercise", "scripts/exercise_tool",
          "exercises.json", "CMakeLists.txt", "CMakePresets.json")
FORMAT = "1"


def _tree_files(root, places):
    """The files below `places` that git tracks or would track (ignored ones,
    such as a program's output, are no part of an exercise); every file
    there outside a git checkout."""
    try:
        listed = subprocess.run(
            ["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard", "--"]
            + list(places), cwd=root, capture_output=True, check=True).stdout
        return sorted(set(name.decode() for name in listed.split(b"\0") if name))
    except (OSError, subprocess.CalledProcessError):
        found = []
        for place in places:
            if os.path.isfile(os.path.join(root, place)):
                found.append(place)
            for top, dirs, files in os.walk(os.path.join(root, place)):
                dirs[:] = [d for d in dirs if d != "build"]
                found += [os.path.relpath(os.path.join(top, f), root) for f in files]
        return sorted(found)


class Keys:
    """Content keys for the exercises of one course; each file is read once."""

    def __init__(self, root, course):
        self.root = root
        folders = sorted({exercise.folder for exercise in course.exercises})
        files = _tree_files(root, list(SHARED) + folders)
        inside = tuple(folder + "/" for folder in folders)
        self.shared = [name for name in files if not name.startswith(inside)]
        self.by_folder = {folder: [name for name in files if name.startswith(folder + "/")]
                          for folder in folders}
        # Other exercises' starters are no part of a key; a starter that is
        # a lesson's own file (in a handout) is, as others build on it.
        self.starters = {exercise.starter for exercise in course.exercises
                         if exercise.starter != exercise.lesson}
        self._digests = {}

    def _digest(self, name):
        if name not in self._digests:
            try:
                with open(os.path.join(self.root, name), "rb") as file:
                    self._digests[name] = hashlib.sha256(file.read()).hexdigest()
            except OSError:
                self._digests[name] = "missing"
        return self._digests[name]

    def forget(self, name):
        """Reads the file again the next time a key needs it."""
        self._digests.pop(name, None)

    def key(self, exercise):
        digest = hashlib.sha256(FORMAT.encode())
        digest.update(json.dumps(exercise.entry, sort_keys=True).encode())
        for name in self.shared + self.by_folder[exercise.folder]:
            if ".mine" in os.path.basename(name) or name in self.starters:
                continue
            digest.update("{}\0{}\0".format(name, self._digest(name)).encode())
        digest.update("starter\0{}".format(self._digest(exercise.starter)).encode())
        return digest.hexdigest()


def _path(tree, exercise):
    return os.path.join(tree.state, "verdicts", exercise.name + ".json")


def load(tree, exercise, key):
    """The verdict kept for this content, or None."""
    try:
        with open(_path(tree, exercise), encoding="utf-8") as file:
            kept = json.load(file)
    except (OSError, json.JSONDecodeError):
        return None
    if kept.get("key") != key:
        return None
    return Verdict.from_dict(kept["verdict"])


def store(tree, exercise, key, verdict):
    path = _path(tree, exercise)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path + ".part", "w", encoding="utf-8") as file:
        json.dump({"key": key, "verdict": verdict.to_dict()}, file)
    os.replace(path + ".part", path)
