"""Checks again whenever a starter is saved, and moves on to the next
exercise once one is done: with a name, it watches that exercise, then the
next one not done; without, every starter, checking the one saved.

It looks at the files four times a second (their time, size and inode, so
that an editor that saves by moving a new file in place is seen too): a few
dozen stat calls, with nothing to install."""

import datetime
import os
import sys
import time

from .session import checked, finished, first_not_done, introduce, say, show_next, show_verdict
from .verdict import DONE

POLL_SECONDS = 0.25
# A save may come as several writes a moment apart: wait until the file has
# stayed the same this long.
SETTLE_SECONDS = 0.3


def _stamp(path):
    try:
        status = os.stat(path)
        return (status.st_mtime_ns, status.st_size, status.st_ino)
    except OSError:
        return None


class Watcher:
    """The stamps of a set of files; `saved()` waits for the next change."""

    def __init__(self, paths):
        self.stamps = {path: _stamp(path) for path in paths}

    def saved(self, seconds=None):
        """The path of the next file saved (once it has settled); None when
        none was within `seconds`, if given."""
        deadline = None if seconds is None else time.monotonic() + seconds
        while deadline is None or time.monotonic() < deadline:
            time.sleep(POLL_SECONDS)
            for path, before in self.stamps.items():
                now = _stamp(path)
                if now == before:
                    continue
                while True:
                    time.sleep(SETTLE_SECONDS)
                    settled = _stamp(path)
                    if settled == now:
                        break
                    now = settled
                self.stamps[path] = now
                return path
        return None


def _move_on(session, solved):
    """Introduces the next exercise not done after `solved` (in course order,
    then from the start) with its verdict; None when all are done."""
    exercise, verdict = first_not_done(session, session.course.after(solved))
    say("")
    if exercise is None:
        finished(session)
        return None
    introduce(session, exercise)
    show_verdict(session, exercise, verdict)
    return exercise


def _watcher(session, current):
    chosen = [current] if current else session.course.exercises
    watcher = Watcher([session.tree.path(e.starter) for e in chosen
                       if not session.unavailable(e)])
    print("Watching {}; Ctrl-C ends.".format(
        current.starter if current else "{} files".format(len(watcher.stamps))),
        file=sys.stderr)
    return watcher


def watch(session, only=None):
    """Watches until every exercise is done (True) or Ctrl-C."""
    current = only
    if only is not None:
        introduce(session, only)
        verdict = checked(session, only)
        show_verdict(session, only, verdict)
        if verdict.state == DONE:
            current = _move_on(session, only)
            if current is None:
                return True
    elif show_next(session, watching=True):
        return True
    by_path = {session.tree.path(e.starter): e for e in session.course.exercises}
    watcher = _watcher(session, current)
    while True:
        exercise = by_path[watcher.saved()]
        say("", "--- {} {} saved".format(datetime.datetime.now().strftime("%H:%M:%S"),
                                         exercise.starter))
        verdict = checked(session, exercise)
        show_verdict(session, exercise, verdict)
        if verdict.state != DONE:
            continue
        following = _move_on(session, exercise)
        if following is None:
            return True
        if only is not None:
            current = following
            watcher = _watcher(session, current)
