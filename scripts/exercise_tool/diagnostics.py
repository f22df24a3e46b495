"""The compiler's diagnostics as data: read from GCC's JSON
(-fdiagnostics-format=json, kept by launcher.py), shown with the line of the
file they point at."""

from dataclasses import dataclass
from typing import Optional


@dataclass(frozen=True)
class Diagnostic:
    kind: str            # error, fatal error, warning, note; "text" when not JSON
    message: str
    file: Optional[str]  # absolute, real
    line: int = 0
    column: int = 0
    end_column: int = 0
    option: Optional[str] = None  # the warning's option, -Wimplicit-fallthrough=
    # For an error in another file (a template, a test): where in the
    # student's file it comes from, as a note of the error names it.
    origin: Optional["Diagnostic"] = None

    def is_error(self):
        return self.kind in ("error", "fatal error", "text")

    def to_dict(self):
        data = {"kind": self.kind, "message": self.message, "file": self.file,
                "line": self.line, "column": self.column,
                "end_column": self.end_column, "option": self.option}
        if self.origin:
            data["origin"] = self.origin.to_dict()
        return data

    @staticmethod
    def from_dict(data):
        origin = data.get("origin")
        fields = {key: data.get(key) for key in ("kind", "message", "file", "line",
                                                 "column", "end_column", "option")}
        return Diagnostic(**fields, origin=Diagnostic.from_dict(origin) if origin else None)


def _located(item, kind, resolve):
    for location in item.get("locations", []):
        caret = location.get("caret")
        if caret and caret.get("file"):
            finish = location.get("finish", caret)
            end = finish.get("column", caret["column"]) if finish.get("line") == caret["line"] \
                else caret["column"]
            return Diagnostic(kind, item.get("message", ""), resolve(caret["file"]),
                              caret.get("line", 0), caret.get("column", 0), end,
                              item.get("option"))
    return Diagnostic(kind, item.get("message", ""), None, option=item.get("option"))


def from_gcc(items, resolve, own=None):
    """Diagnostics from GCC's JSON list `items`, paths made real by `resolve`.
    An error's notes that point into `own` (the student's file) give its
    origin."""
    found = []
    for item in items:
        diagnostic = _located(item, item.get("kind", "text"), resolve)
        if diagnostic.is_error() and own and diagnostic.file != own:
            for child in item.get("children", []):
                note = _located(child, child.get("kind", "note"), resolve)
                if note.file == own:
                    diagnostic = Diagnostic(**{**diagnostic.__dict__, "origin": note})
                    break
        found.append(diagnostic)
    return found


def source_line(path, line):
    """The text of line `line` of the file, or None."""
    try:
        with open(path, encoding="utf-8", errors="replace") as file:
            for number, text in enumerate(file, 1):
                if number == line:
                    return text.rstrip("\n")
    except OSError:
        pass
    return None


def render(diagnostic, shown, indent="  "):
    """Lines that show a diagnostic as a compiler would: where and what, the
    line of source, and a mark under the place."""
    if diagnostic.file is None:
        return [indent + line for line in
                "{}: {}".format(diagnostic.kind, diagnostic.message).splitlines()]
    option = " [{}]".format(diagnostic.option) if diagnostic.option else ""
    lines = ["{}{}:{}:{}: {}: {}{}".format(indent, shown(diagnostic.file), diagnostic.line,
                                          diagnostic.column, diagnostic.kind,
                                          diagnostic.message, option)]
    text = source_line(diagnostic.file, diagnostic.line)
    if text is not None:
        number = "{:5} | ".format(diagnostic.line)
        lines.append(indent + number + text)
        if diagnostic.column > 0:
            width = max(1, diagnostic.end_column - diagnostic.column + 1)
            lines.append(indent + " " * (len(number) - 2) + "| " +
                         " " * (diagnostic.column - 1) + "^" + "~" * (width - 1))
    if diagnostic.origin:
        lines.append(indent + "from your line:")
        lines += render(diagnostic.origin, shown, indent + "  ")
    return lines
