#!/usr/bin/env python3
"""The class grid's page (`./scripts/exercise class --html`) in headless
Chromium, with the lesson book's browser machinery: it loads from the file
system with no error in the console and nothing from another host, shows
one row per student and one column per exercise with the totals row, and
each student's total is the count of "done" in that row. Saves a
screenshot.

  scripts/tests/class_grid_browser_test.py PAGE STUDENTS EXERCISES [--screenshot PNG]

Ends with "N passed, N failed"; exit status 1 when a check failed.
"""

import argparse
import os
import sys
import urllib.parse

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, HERE)
from book_browser_test import Checks, console_problems  # noqa: E402
from book_tool.browser import Browser, BrowserError, find_chromium  # noqa: E402

GRID = """(() => {
  const rows = Array.from(document.querySelectorAll('#grid tbody tr'), row => ({
    cells: Array.from(row.querySelectorAll('td'), td => td.textContent.trim())}));
  return {
    columns: document.querySelectorAll('#grid thead th.exercise').length,
    rows,
    totals: Array.from(document.querySelectorAll('#grid tfoot td'), td => td.textContent),
    width: document.querySelector('#grid').getBoundingClientRect().width,
  };
})()"""


def grid_problems(grid, students, exercises):
    problems = []
    if (len(grid["rows"]), grid["columns"]) != (students, exercises):
        problems.append("{} rows by {} exercises, not {} by {}".format(
            len(grid["rows"]), grid["columns"], students, exercises))
    for number, row in enumerate(grid["rows"], 1):
        states, total = row["cells"][:-1], row["cells"][-1]
        if str(states.count("done")) != total:
            problems.append("row {}: {} done, but its total says {}".format(
                number, states.count("done"), total))
    if len(grid["totals"]) != exercises + 2:
        problems.append("the totals row has {} cells".format(len(grid["totals"])))
    if grid["width"] <= 0:
        problems.append("the grid is not shown")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("page")
    parser.add_argument("students", type=int)
    parser.add_argument("exercises", type=int)
    parser.add_argument("--screenshot", default=None)
    args = parser.parse_args()
    if not find_chromium():
        print("Skipping the class grid's browser test: chromium is missing "
              "(scripts/deps installs it)", file=sys.stderr)
        return 1 if os.environ.get("CI") == "true" else 0
    page = os.path.abspath(args.page)
    shot = args.screenshot or os.path.join(os.path.dirname(page), "class.png")
    checks = Checks()
    try:
        with Browser() as browser:
            browser.open("file://" + urllib.parse.quote(page))
            grid = browser.evaluate(GRID)
            checks.report("the page loads with nothing from outside and no error",
                          console_problems(browser.take_events(), set()))
            checks.report("the grid has its students, exercises and totals",
                          grid_problems(grid, args.students, args.exercises))
            browser.screenshot(shot, full_page=True)
            print("Screenshot: " + shot)
    except BrowserError as error:
        checks.report("Chromium answers", [str(error)])
    print("class grid: {} passed, {} failed".format(checks.passed, checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
