"""The starters as handed out (git), and what the tool does with a student's
file: tell an untouched one, put it back without losing the student's work,
print the solution as a patch, and tell a starter that no longer is its
lesson with the gap cut out."""

import difflib
import hashlib
import os
import re
import subprocess


def _git(root, *args, text=True):
    return subprocess.run(["git"] + list(args), cwd=root, capture_output=True, text=text,
                          check=False)


def base_revision(root):
    """What the starters were handed out as: the branch this clone came from
    where there is one (a student who commits their work still gets the
    starters as handed out), else HEAD."""
    for revision in ("@{upstream}", "HEAD"):
        result = _git(root, "rev-parse", "-q", "--verify", revision)
        if result.returncode == 0:
            return result.stdout.strip()
    return None


def blob_id(content):
    """The id git gives a file of these bytes."""
    return hashlib.sha1(b"blob %d\0" % len(content) + content).hexdigest()


class HandedOut:
    """The blobs of the starters at the base revision, read with one git call."""

    def __init__(self, root, paths):
        self.root = root
        self.base = base_revision(root)
        self.blobs = {}
        if self.base and paths:
            listed = _git(root, "ls-tree", "-z", self.base, "--", *paths, text=False)
            for item in listed.stdout.split(b"\0"):
                if item:
                    meta, _, path = item.partition(b"\t")
                    self.blobs[path.decode()] = meta.split()[2].decode()

    def known(self, path):
        return path in self.blobs

    def untouched(self, path):
        """Whether the file is as it was handed out."""
        try:
            with open(os.path.join(self.root, path), "rb") as file:
                return self.blobs.get(path) == blob_id(file.read())
        except OSError:
            return False

    def content(self, path):
        return _git(self.root, "cat-file", "blob", self.blobs[path], text=False).stdout


def kept_name(path):
    """A name for keeping the student's version beside the starter that no
    earlier reset has taken: <starter>.mine, then .mine2, .mine3, ..."""
    number = 1
    while True:
        candidate = path + ".mine" + (str(number) if number > 1 else "")
        if not os.path.exists(candidate):
            return candidate
        number += 1


def reset(root, handed_out, path):
    """Puts the starter back as handed out, keeping the student's version
    beside it. Returns where it was kept, or None when there was nothing to
    reset. Never overwrites a file kept before: the name is taken with an
    exclusive create."""
    full = os.path.join(root, path)
    if handed_out.untouched(path):
        return None
    with open(full, "rb") as file:
        mine = file.read()
    while True:
        kept = kept_name(full)
        try:
            with open(kept, "xb") as file:
                file.write(mine)
            break
        except FileExistsError:
            continue
    with open(full, "wb") as file:
        file.write(handed_out.content(path))
    return kept


def patch(path, current, solution):
    """A unified diff that turns `current` into `solution` (both text), for
    `git apply`; empty when they are the same."""
    def lines(text):
        split = text.splitlines(keepends=True)
        if split and not split[-1].endswith("\n"):
            split[-1] += "\n\\ No newline at end of file\n"
        return split
    diff = difflib.unified_diff(lines(current), lines(solution), "a/" + path, "b/" + path)
    return "".join(diff)


# C++ source as tokens, comments and layout aside: raw strings, strings and
# characters whole (a changed text is changed code), numbers, names, and
# each other character on its own. An #include line is skipped too: a cut
# may order its includes anew.
_TOKENS = re.compile(r"""
    (?P<skip>\s+ | //[^\n]* | /\*[\s\S]*?\*/ | ^[ \t]*\#[ \t]*include[^\n]*)
  | (?P<literal>(?:u8|[uUL])?R"(?P<delimiter>[^(\s]*)\([\s\S]*?\)(?P=delimiter)"
      | (?:u8|[uUL])?"(?:\\.|[^"\\\n])*" | (?:u8|[uUL])?'(?:\\.|[^'\\\n])*'
      | \.?\d(?:[eEpP][+-]|'\w|[\w.])*)
  | (?P<name>[A-Za-z_]\w*)
  | (?P<other>\S)""", re.VERBOSE | re.MULTILINE)
# What a placeholder return, put in to make a cut compile, returns besides
# literals and names: return -1;, return {};, return variance;, return
# Crossings{c1, c1, 0.0}; (an operator that computes, return a + b;, is code).
_PLACEHOLDER = {"{", "}", "(", ")", ",", "."}


def tokens(text):
    """The tokens of C++ source, each (text, line number, kind)."""
    found = []
    line = 1
    for match in _TOKENS.finditer(text):
        if match.lastgroup != "skip":
            found.append((match.group(), line, match.lastgroup))
        line += match.group().count("\n")
    return found


def _placeholder(found, j):
    text, _, kind = found[j]
    signed = text in ("-", "+") and found[j + 1][2] == "literal"
    return kind in ("literal", "name") or text in _PLACEHOLDER or signed


def _without_placeholders(found):
    """The tokens without their placeholder returns (return, literals, names,
    ;) and empty bodies ({}, a pure virtual function given one so that the
    cut builds)."""
    kept = []
    i = 0
    while i < len(found):
        if found[i][0] == "return":
            end = next((j for j in range(i + 1, len(found)) if found[j][0] == ";"), None)
            if end is not None and all(_placeholder(found, j) for j in range(i + 1, end)):
                i = end + 1
                continue
        if found[i][0] == "}" and kept and kept[-1][0] == "{":
            kept.pop()
        else:
            kept.append(found[i])
        i += 1
    return kept


def _is_subsequence(short, long):
    rest = iter(long)
    return all(any(word == other for other in rest) for word in short)


def stale_lines(starter, references):
    """The code a starter holds that none of its references (the lesson, the
    solution) holds: a lesson changed since its starter was cut, which would
    leave students practising on code the lesson no longer has. The starter
    is fine when its tokens, its placeholder returns aside, come in the same
    order in a reference: the cut only took code out and laid out the rest
    anew. Otherwise returns the first lines (at most three) that hold tokens
    the first reference lacks."""
    mine = _without_placeholders(tokens(starter))
    words = [text for text, _, _ in mine]
    theirs = [[text for text, _, _ in tokens(reference)] for reference in references]
    if any(_is_subsequence(words, reference) for reference in theirs):
        return []
    matcher = difflib.SequenceMatcher(None, theirs[0], words, autojunk=False)
    numbers = []
    for tag, _, _, j1, j2 in matcher.get_opcodes():
        if tag in ("replace", "insert"):
            for _, line, _ in mine[j1:j2]:
                if line not in numbers:
                    numbers.append(line)
    lines = starter.splitlines()
    return [lines[number - 1].strip() for number in numbers[:3]]
