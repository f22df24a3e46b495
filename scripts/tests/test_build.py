"""Tests of the exercises' build: what cmake/PeltraExercises.cmake makes of a
declaration, configured (never compiled) in a scratch project of a few
lines that uses the project's own CMake helpers."""

import json
import os
import subprocess
import textwrap
import unittest

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
    def configure(self, *entries):
        self.write("CMakeLists.txt", PROJECT.format(cmake=os.path.join(ROOT, "cmake")))
        for path in ("testing/test_events.cpp", "basics/bike.cpp", "basics/bike_demo.cpp",
                     "basics/bike_demo.txt", "basics/exercises/bike_details.cpp"):
            self.write(path, "\n")
        self.write("exercises.json", json.dumps(course(*entries)))
        build = os.path.join(self.root, "build")
        try:
            configured = subprocess.run(
                ["cmake", "-S", self.root, "-B", build, "-G", "Ninja"], capture_output=True,
                text=True, timeout=CONFIGURE_SECONDS, check=False)
        except subprocess.TimeoutExpired:
            self.fail("the scratch project was not configured within {} s".format(
                CONFIGURE_SECONDS))
        self.assertEqual(0, configured.returncode, configured.stderr)
        with open(os.path.join(build, "exercises_manifest.json"), encoding="utf-8") as file:
            return build, json.load(file)["exercises"]

    def inputs(self, build, output):
        """The files ninja makes `output` from (its direct inputs)."""
        query = subprocess.run(["ninja", "-C", build, "-t", "query", output],
                               capture_output=True, text=True, check=True).stdout
        return [line.strip() for line in query.splitlines()[2:] if line.startswith("    ")]

    # Tests an output check of a program that is not built from the lesson
    # but links the lesson's module: it links the student's module in its
    # place, and the lesson's not at all.
    def test_program_linking_the_lesson(self):
        build, exercises = self.configure(entry(
            "bike_details", starter="basics/exercises/bike_details.cpp",
            lesson="basics/bike.cpp", target="bike", checks={"outputs": ["bike_demo.output"]}))
        self.assertNotIn("broken", exercises["bike_details"])
        linked = self.inputs(build, "programs/bike_details/starter/bike_demo")
        self.assertTrue(any("basics/exercises/bike_details.cpp" in f for f in linked), linked)
        self.assertFalse(any("/bike.dir/" in f for f in linked), linked)


if __name__ == "__main__":
    unittest.main()
