"""Runs one program of a check, bounded: a program that runs past its time-out
is stopped, with every process it started, and the result says so."""

import os
import signal
import subprocess
from dataclasses import dataclass


@dataclass
class Run:
    status: int          # the exit status; -N for a program ended by signal N
    timed_out: bool
    stdout: bytes
    stderr: str

    def signal_name(self):
        try:
            return signal.Signals(-self.status).name
        except ValueError:
            return "signal {}".format(-self.status)


def run_bounded(command, cwd, env, seconds):
    """Runs `command` in a process group of its own, which is killed as a
    whole once `seconds` have passed."""
    process = subprocess.Popen(command, cwd=cwd, env={**os.environ, **env},
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, start_new_session=True)
    timed_out = False
    try:
        stdout, stderr = process.communicate(timeout=seconds)
    except subprocess.TimeoutExpired:
        timed_out = True
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        stdout, stderr = process.communicate()
    return Run(process.returncode, timed_out, stdout,
               stderr.decode("utf-8", errors="replace"))
