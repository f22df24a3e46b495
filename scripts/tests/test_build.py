"""Tests of the exercises' build: what cmake/PeltraExercises.cmake makes of a
declaration, and a build folder set up again where its settings are not the
preset's; each configured (never compiled) in a scratch project of a few
lines that uses the project's own CMake helpers and presets."""

import contextlib
import io
import json
import os
import shutil
import subprocess
import textwrap
import unittest

from exercise_tool import build

from fakes import TreeTest, course, entry

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CONFIGURE_SECONDS = 120

# A lesson module (bike), a program that links it and an output test of that
# program, as a folder's CMakeLists.txt declares them.
PROJECT = textwrap.dedent("""\
    cmake_minimum_required(VERSION 3.25)
    project(Scratch LANGUAGES CXX)
    include(CTest)
    list(APPEND CMAKE_MODULE_PATH "{cmake}")
    include(PeltraHelpers)
    include(PeltraExercises)
    find_package(GTest REQUIRED)
    add_library(peltra_testing INTERFACE)
    add_library(peltra_test_events OBJECT testing/test_events.cpp)
    peltra_add_library(bike OBJECT INTERNAL SOURCES basics/bike.cpp)
    peltra_add_program(bike_demo SOURCES basics/bike_demo.cpp LIBS bike)
    peltra_add_output_test(bike_demo EXPECTED basics/bike_demo.txt)
    """)


class ScratchProjectTest(TreeTest):
    def setUp(self):
        super().setUp()
        self.write("CMakeLists.txt", PROJECT.format(cmake=os.path.join(ROOT, "cmake")))
        shutil.copy(os.path.join(ROOT, "CMakePresets.json"), self.root)
        for path in ("testing/test_events.cpp", "basics/bike.cpp", "basics/bike_demo.cpp",
                     "basics/bike_demo.txt", "basics/exercises/bike_details.cpp"):
            self.write(path, "\n")

    def cmake(self, *args):
        try:
            configured = subprocess.run(["cmake"] + list(args), cwd=self.root,
                                        capture_output=True, text=True,
                                        timeout=CONFIGURE_SECONDS, check=False)
        except subprocess.TimeoutExpired:
            self.fail("the scratch project was not configured within {} s".format(
                CONFIGURE_SECONDS))
        self.assertEqual(0, configured.returncode, configured.stderr)

    def configure(self, *entries):
        self.write("exercises.json", json.dumps(course(*entries)))
        build_dir = os.path.join(self.root, "build")
        self.cmake("-S", self.root, "-B", build_dir, "-G", "Ninja")
        with open(os.path.join(build_dir, "exercises_manifest.json"), encoding="utf-8") as file:
            return build_dir, json.load(file)["exercises"]

    def inputs(self, build, output):
        """The files ninja makes `output` from (its direct inputs)."""
        query = subprocess.run(["ninja", "-C", build, "-t", "query", output],
                               capture_output=True, text=True, check=True).stdout
        return [line.strip() for line in query.splitlines()[2:] if line.startswith("    ")]

    # Tests an output check of a program that is not built from the lesson
    # but links the lesson's module: it links the student's module in its
    # place, and the lesson's not at all.
    def test_program_linking_the_lesson(self):
        build_dir, exercises = self.configure(entry(
            "bike_details", starter="basics/exercises/bike_details.cpp",
            lesson="basics/bike.cpp", target="bike", checks={"outputs": ["bike_demo.output"]}))
        self.assertNotIn("broken", exercises["bike_details"])
        linked = self.inputs(build_dir, "programs/bike_details/starter/bike_demo")
        self.assertTrue(any("basics/exercises/bike_details.cpp" in f for f in linked), linked)
        self.assertFalse(any("/bike.dir/" in f for f in linked), linked)

    # Tests a build folder that an older checkout set up, without the
    # sanitizers and with the build type's own flags: the tool sets it up
    # again with the preset, once, so that the sanitizers are back.
    def test_settings_of_an_older_checkout(self):
        self.write("exercises.json", json.dumps(course(entry(
            "bike_details", starter="basics/exercises/bike_details.cpp",
            lesson="basics/bike.cpp", target="bike", checks={"outputs": ["bike_demo.output"]}))))
        tree = build.Tree(self.root)
        self.cmake("-S", self.root, "-B", tree.build, "-G", "Ninja", "-DPELTRA_EXERCISES=ON",
                   "-DCMAKE_BUILD_TYPE=RelWithDebInfo")
        with contextlib.redirect_stderr(io.StringIO()) as said:
            build.configure(tree)
        self.assertRegex(said.getvalue(), r"set up with other settings \(.*PELTRA_SANITIZE")
        cache = build.read_cache(tree.build)
        self.assertEqual(("address,undefined", "-Og -g1"), (
            cache.get("PELTRA_SANITIZE"), cache.get("CMAKE_CXX_FLAGS_RELWITHDEBINFO")))
        with open(os.path.join(tree.build, "compile_commands.json"), encoding="utf-8") as file:
            commands = [c["command"] for c in json.load(file) if c["file"].endswith("bike.cpp")]
        self.assertTrue(commands and all("-fsanitize=address,undefined" in c for c in commands),
                        commands)
        # Set up as the preset says, it is left as it is.
        before = os.stat(os.path.join(tree.build, "CMakeCache.txt")).st_mtime_ns
        with contextlib.redirect_stderr(io.StringIO()) as said:
            build.configure(tree)
        self.assertEqual(("", before), (said.getvalue(), os.stat(
            os.path.join(tree.build, "CMakeCache.txt")).st_mtime_ns))


class PresetTest(TreeTest):
    # Tests the settings read from the presets: inherited, the first parent
    # first, a boolean and a typed value as the cache holds them, null
    # unsetting an inherited one, a macro expanded.
    def test_inherited(self):
        self.write("CMakePresets.json", json.dumps({"version": 6, "configurePresets": [
            {"name": "a", "hidden": True, "generator": "Ninja",
             "cacheVariables": {"X": "a", "Y": "a", "GONE": "a"}},
            {"name": "b", "hidden": True, "cacheVariables": {"X": "b", "Z": True}},
            {"name": "exercises", "inherits": ["b", "a"], "cacheVariables": {
                "GONE": None, "T": {"type": "PATH", "value": "${sourceDir}/${presetName}"}}}]}))
        self.assertEqual(("Ninja", {"X": "b", "Y": "a", "Z": "TRUE",
                                    "T": self.root + "/exercises"}),
                         build.preset_settings(self.root))


if __name__ == "__main__":
    unittest.main()
