"""AddressSanitizer and UndefinedBehaviorSanitizer reports, as data.

The exercises' programs are built with both (-fsanitize=address,undefined
-fno-sanitize-recover=all). They run with options that make a report
structural: an exit status of each sanitizer's own, AddressSanitizer's (and
LeakSanitizer's) report in a log file of its own, and every stack frame
printed in a form of this tool's (stack_trace_format), from which it reads
the first frame in the student's file. UBSan, inside AddressSanitizer's
runtime, writes its report to standard error whatever log_path says, so its
report is read there, by its frames."""

import glob
import os
from dataclasses import dataclass
from typing import List

# The exit statuses that say a sanitizer stopped the program.
ASAN_EXIT = 86   # AddressSanitizer and LeakSanitizer
UBSAN_EXIT = 87
_FRAME = "@frame|"
_FRAME_FORMAT = 'stack_trace_format="' + _FRAME + '%n|%l|%c|%s|%f"'
# Memory that libraries outside the student's reach keep until the process
# ends (OpenCV's and GoogleTest's caches): not the student's leak.
SUPPRESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp")


def environment(log_dir):
    """The sanitizers' options for a program whose reports go to `log_dir`."""
    prefix = os.path.join(log_dir, "")
    return {
        "ASAN_OPTIONS": ":".join([
            'log_path="{}asan"'.format(prefix), "exitcode={}".format(ASAN_EXIT),
            "halt_on_error=1", "detect_stack_use_after_return=1",
            "strict_string_checks=1", _FRAME_FORMAT]),
        "UBSAN_OPTIONS": ":".join([
            'log_path="{}ubsan"'.format(prefix), "exitcode={}".format(UBSAN_EXIT),
            "halt_on_error=1", "print_stacktrace=1", _FRAME_FORMAT]),
        "LSAN_OPTIONS": ":".join([
            'suppressions="{}"'.format(SUPPRESSIONS), "print_suppressions=0"]),
    }


@dataclass
class Frame:
    number: int
    file: str
    line: int
    column: int
    function: str


@dataclass
class Report:
    tool: str            # "AddressSanitizer" or "UndefinedBehaviorSanitizer"
    headline: str        # the report's first line, as the sanitizer wrote it
    frames: List[Frame]

    def first_frame_in(self, wanted):
        """The first frame whose file `wanted(file)` accepts, or None."""
        return next((frame for frame in self.frames if wanted(frame.file)), None)


def _frame(line):
    parts = line.strip()[len(_FRAME):].split("|", 4)
    if len(parts) != 5:
        return None
    number, lineno, column, file, function = parts
    try:
        return Frame(int(number), file, int(lineno), int(column), function)
    except ValueError:
        return None


def parse(text, tool):
    """A report from the sanitizer's text: its frames are this tool's lines;
    the headline is the line before the first frame for UBSan (its
    "file:line:column: runtime error: ..."), the first line for ASan."""
    lines = text.splitlines()
    frames, headline = [], None
    for i, line in enumerate(lines):
        if line.strip().startswith(_FRAME):
            frame = _frame(line)
            if frame:
                if headline is None and tool == "UndefinedBehaviorSanitizer" and i > 0:
                    headline = lines[i - 1].strip()
                frames.append(frame)
    if tool == "AddressSanitizer":
        for line in lines:
            stripped = line.strip().strip("=")
            if stripped:
                # "==1234==ERROR: AddressSanitizer: ..." without the process.
                headline = stripped.split("==", 1)[-1].strip()
                break
    return Report(tool, headline or tool, frames)


def find(status, log_dir, stderr_text):
    """The report of the sanitizer that stopped a program that ended with
    `status`, or None when none did."""
    if status == ASAN_EXIT:
        logs = sorted(glob.glob(os.path.join(log_dir, "asan.*")))
        if logs:
            with open(logs[0], encoding="utf-8", errors="replace") as file:
                return parse(file.read(), "AddressSanitizer")
    elif status == UBSAN_EXIT:
        for path in sorted(glob.glob(os.path.join(log_dir, "ubsan.*"))):
            with open(path, encoding="utf-8", errors="replace") as file:
                stderr_text = file.read() + stderr_text
        report = parse(stderr_text, "UndefinedBehaviorSanitizer")
        if report.frames:
            return report
    return None
