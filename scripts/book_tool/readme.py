"""A folder README read as the book reads it: units, sections and lessons.

The book changes no README text; it only adds after a unit (a paragraph, a
list with what is nested in it, a table or a code block). So a README is
split into such units, each in the section its heading opens, and these are
found in them by what the text says, not by the headings it uses today:
- a lesson: a section with a "Look first at `file`" sentence, whose files
  (and those of the sentences after it that begin with "Then") are what to
  read first; the names beside them that are not files are the functions to
  point at;
- the lines that run a lesson: the ```sh blocks whose own text (since the
  previous one) names one of its files, a header or a source alike;
- the pictures: backticked names ending in .png (`intercept.png`), shown
  after the unit that names them.
"""

import os
import re
import unicodedata
from dataclasses import dataclass, field

BACKTICKED = re.compile(r"`([^`\n]+)`")
FENCE = re.compile(r"^(\s*)(`{3,}|~{3,})\s*([\w+-]*)")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
LOOK_FIRST = re.compile(r"\blook first\b", re.IGNORECASE)
PICTURE = re.compile(r"^[\w./-]+\.png$")
# A name that stands for many (`replay_K.png`, `<name>.png`), not a file.
PLACEHOLDER = re.compile(r"<|(^|[/_-])[A-Z]+([._-]|$)")
LINK = re.compile(r"(!?)\[([^\]\n]*)\]\(([^)\s]+)\)")


@dataclass
class Unit:
    """Lines of a README that stand together; the book adds only after one.

    A list keeps what is nested in it: its parts are its text pieces and
    its indented code blocks, in order (a unit that is not a list is its
    own only part).
    """

    lines: list
    kind: str  # "heading", "code" or "text"
    lang: str = ""  # the language of a code block
    level: int = 0  # a heading's level
    parts: list = field(default_factory=list)

    def __post_init__(self):
        if not self.parts:
            self.parts = [self]

    @property
    def text(self):
        return "\n".join(self.lines)

    def code(self):
        """A code unit's lines without the fences and their indentation."""
        indent = len(self.lines[0]) - len(self.lines[0].lstrip())
        return [line[indent:] for line in self.lines[1:-1]]

    def nest(self, part):
        """Adds a part indented under this unit, after a blank line."""
        if self.parts == [self]:
            self.parts = [Unit(list(self.lines), self.kind)]
        self.parts.append(part)
        self.lines += [""] + part.lines


@dataclass
class Section:
    """A heading and the units up to the next heading of any level."""

    title: str  # as written, Markdown included
    level: int
    anchor: str
    units: list = field(default_factory=list)


@dataclass
class Lesson:
    """A section that says which files to read first."""

    readme: "Readme"
    section: Section
    unit: Unit  # the unit that says "Look first at"
    files: list  # paths from the top of the tree, in the order named
    names: list  # the other backticked names of the sentence (functions)
    commands: list = field(default_factory=list)  # code units that run it
    exercises: list = field(default_factory=list)

    @property
    def title(self):
        return plain(self.section.title)

    @property
    def anchor(self):
        """The fragment of the lesson on its page ("" for the page's top)."""
        return self.section.anchor if self.section.level > 1 else ""


@dataclass
class Readme:
    path: str  # from the top of the tree: "data/README.md", "README.md"
    sections: list

    @property
    def folder(self):
        return os.path.dirname(self.path)

    @property
    def title(self):
        return plain(self.sections[0].title) if self.sections else self.path

    def units(self):
        for section in self.sections:
            yield from ((section, unit) for unit in section.units)


def plain(markdown):
    """Inline Markdown as the reader sees it: no backticks, links as their text."""
    text = LINK.sub(lambda m: m.group(2), markdown)
    return text.replace("`", "").replace("**", "").strip()


def slugify(title, used):
    """The id Python-Markdown's toc gives a heading, unique on its page.

    Its default: the text in ASCII, only word characters, blanks and
    hyphens kept, lower case, blanks to hyphens; a repeat gets _1, _2, ...
    """
    value = unicodedata.normalize("NFKD", plain(title))
    value = value.encode("ascii", "ignore").decode("ascii")
    value = re.sub(r"[^\w\s-]", "", value).strip().lower()
    slug = base = re.sub(r"[-\s]+", "-", value)
    count = 0
    while slug in used:
        count += 1
        slug = f"{base}_{count}"
    used.add(slug)
    return slug


def split_units(text):
    """The units of a Markdown text, in order; blank lines separate them.

    A line indented under a list continues it, and so does a code block
    indented under one: a list with its nested blocks is one unit.
    """
    units = []
    lines = text.split("\n")
    i = 0
    previous_blank = True
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            previous_blank = True
            i += 1
            continue
        nested = line.startswith((" ", "\t")) and units and units[-1].kind != "heading"
        fence = FENCE.match(line)
        if fence:
            marker = fence.group(2)
            end = i + 1
            while end < len(lines) and not lines[end].strip().startswith(marker):
                end += 1
            block = lines[i:end + 1]
            i = end + 1
            code = Unit(block, "code", lang=fence.group(3))
            if nested and fence.group(1) and units[-1].kind == "text":
                units[-1].nest(code)
            else:
                units.append(code)
            previous_blank = False
            continue
        heading = HEADING.match(line)
        if heading and not line.startswith(" "):
            units.append(Unit([line], "heading", level=len(heading.group(1))))
            i += 1
            previous_blank = True
            continue
        if not previous_blank and units and units[-1].kind == "text":
            unit = units[-1]
            unit.lines.append(line)
            if unit.parts[-1].kind == "code":
                unit.parts.append(Unit([line], "text"))
            elif unit.parts[-1] is not unit:
                unit.parts[-1].lines.append(line)
        elif nested and units[-1].kind == "text":
            units[-1].nest(Unit([line], "text"))
        else:
            units.append(Unit([line], "text"))
        previous_blank = False
        i += 1
    return units


def read_readme(top, path):
    """The README at path (from the top of the tree), in sections."""
    with open(os.path.join(top, path), encoding="utf-8") as f:
        text = f.read()
    sections = []
    used = set()
    for unit in split_units(text):
        if unit.kind == "heading":
            title = HEADING.match(unit.lines[0]).group(2)
            sections.append(Section(title, unit.level, slugify(title, used)))
        elif not sections:
            sections.append(Section(path, 1, ""))
        sections[-1].units.append(unit)
    return Readme(path, sections)


def names(text):
    """The backticked names of a text, in order, without a trailing "()"."""
    return [re.sub(r"\(\)$", "", name) for name in BACKTICKED.findall(text)]


def resolve(top, folder, name):
    """The tree path of a file a README in folder names, or None.

    A name is read from the README's folder first, then from the top, as
    the README check reads it.
    """
    for base in (folder, ""):
        path = os.path.normpath(os.path.join(base, name))
        if not path.startswith("..") and os.path.isfile(os.path.join(top, path)):
            return path
    return None


def stem(path):
    return os.path.splitext(path)[0]


def look_first(text):
    """The "Look first at" sentence of a text and the "Then ..." ones after it."""
    match = LOOK_FIRST.search(text)
    if not match:
        return None
    # Sentences end at a full stop before a blank; one inside a name
    # (`tracker.cpp`) is never followed by one.
    sentences = re.split(r"(?<=[.!?])\s+", text[match.start():])
    kept = [sentences[0]]
    for sentence in sentences[1:]:
        if not sentence.startswith("Then"):
            break
        kept.append(sentence)
    return " ".join(kept)


def find_lessons(top, readme):
    """The lessons of a README and the ```sh blocks that run each."""
    lessons = []
    for section in readme.sections:
        for unit in section.units:
            sentence = look_first(unit.text) if unit.kind == "text" else None
            if not sentence:
                continue
            files, others = [], []
            for name in names(sentence):
                path = resolve(top, readme.folder, name)
                if path and path not in files:
                    files.append(path)
                elif not path:
                    others.append(name)
            if files:
                lessons.append(Lesson(readme, section, unit, files, others))
                break
    for commands, said in run_blocks(readme):
        stems = {stem(p) for name in names(said)
                 if (p := resolve(top, readme.folder, name))}
        for lesson in lessons:
            if stems & {stem(p) for p in lesson.files}:
                lesson.commands.append(commands)
    return lessons


def run_blocks(readme):
    """Each ```sh block of a README with the text written since the last one
    in its section (a block nested in a list item: the list up to it)."""
    for section in readme.sections:
        said = []
        for unit in section.units:
            for part in unit.parts:
                if part.kind == "code" and part.lang == "sh":
                    yield part, "\n".join(said)
                    said = []
                elif part.kind == "text":
                    said.append(part.text)


def pictures(unit):
    """The picture files a text unit names, placeholders left out."""
    return [name for name in names(unit.text)
            if PICTURE.match(name) and not PLACEHOLDER.search(os.path.basename(name))]


def commands_of(unit):
    """The command lines of a ```sh unit, continuations joined."""
    text = "\n".join(unit.code())
    text = re.sub(r"\\\n\s*", " ", text)
    return [line.strip() for line in text.split("\n")
            if line.strip() and not line.strip().startswith("#")]
