"""A folder README read as the book reads it: units, sections, passages.

The book changes no README text; it only adds after a unit (a paragraph, a
list with what is nested in it, a table or a code block). So a README is
split into such units, each in the section its heading opens, and a unit
into passages (a paragraph, or each item of a list); what the book shows
beside them is found by what the text says, not by the headings it uses
today:
- a "Look first at `file`" sentence (and the "Then ..." ones after it)
  points at what to read first; the names in it that are not files are the
  functions to point at;
- a passage's first clause, parentheses left out, is a title;
- the passage just before a ```sh block says what the block runs;
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
LIST_ITEM = re.compile(r"^(\s*)(?:[-*+]|\d+[.)])\s+")
# Names before a colon that the text after it describes: "`Radar`: ...".
LABEL = re.compile(r"^`[^`]+`(?:(?:, | and )`[^`]+`)*: ")
SENTENCE_END = re.compile(r"[.!?](?=\s|$)")


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


def sentence_end(text, start):
    """Where the sentence that goes on at start ends: after a full stop (or
    ! or ?) that a blank or the end follows; one inside a name
    (`tracker.cpp`) never is."""
    match = SENTENCE_END.search(text, start)
    return match.end() if match else len(text)


def look_first_spans(text):
    """Where a text says which files to read first: each "Look first at"
    sentence and the sentences after it that begin with "Then", as
    (start, end)."""
    spans = []
    for match in LOOK_FIRST.finditer(text):
        if spans and match.start() < spans[-1][1]:
            continue
        end = sentence_end(text, match.start())
        while text[end:].lstrip().startswith("Then"):
            end = sentence_end(text, len(text) - len(text[end:].lstrip()))
        spans.append((match.start(), end))
    return spans


def without_look_first(text):
    """A text with its "Look first" sentences left out: they point at a
    lesson, they do not introduce it."""
    for start, end in reversed(look_first_spans(text)):
        text = text[:start] + text[end:].lstrip()
    return text


def passages(unit):
    """What a reader takes in one at a time in a text unit: each item of a
    list (with the lines indented under it, code blocks aside), or the
    whole paragraph."""
    lines = [line for part in unit.parts if part.kind == "text" for line in part.lines]
    first = LIST_ITEM.match(lines[0]) if lines else None
    if not first:
        return ["\n".join(lines)]
    items = []
    for line in lines:
        item = LIST_ITEM.match(line)
        if item and len(item.group(1)) == len(first.group(1)):
            items.append([line])
        else:
            items[-1].append(line)
    return ["\n".join(item) for item in items]


def _scan(text):
    """Each character of inline Markdown with two depths: in parentheses,
    and in a code span, quotes or brackets, where no clause ends either."""
    parens = other = 0
    code = quoted = False
    for index, char in enumerate(text):
        if char == "`":
            code = not code
        elif not code and char == '"':
            quoted = not quoted
        elif not code and not quoted:
            parens += char == "("
            other += char == "["
        yield index, char, parens, other + code + quoted
        if not code and not quoted:
            parens -= char == ")" and parens > 0
            other -= char == "]" and other > 0


def without_parentheses(text):
    """Inline Markdown with what stands in parentheses left out."""
    kept = "".join(char for _, char, parens, _ in _scan(text) if not parens)
    return re.sub(r" +", " ", re.sub(r"\s+([,.;:])", r"\1", kept)).strip()


def _labelled(markdown):
    """A passage as one line of inline Markdown, parentheses left out, split
    into its label of names before a colon ("`Radar`: ") and the rest."""
    text = LIST_ITEM.sub("", markdown.strip(), count=1)
    text = LINK.sub(lambda m: m.group(2), text).replace("**", "")
    text = without_parentheses(" ".join(text.split()))
    label = LABEL.match(text)
    return (label.group(0), text[label.end():]) if label else ("", text)


def label_names(markdown):
    """The names a passage describes after a colon: `Radar` in "`Radar`
    (`radar.h`): 60 degrees every 20 ..."."""
    return names(_labelled(markdown)[0])


def first_clause(markdown):
    """A passage's first clause, to stand as a title (inline Markdown kept):
    what is in parentheses left out, and a label of names before a colon
    kept in front ("`Radar` (`radar.h`): 60 degrees every 20, readings
    ..." gives "`Radar`: 60 degrees every 20")."""
    head, rest = _labelled(markdown)
    for index, char, parens, other in _scan(rest):
        if not parens and not other and char in ".,;:" and rest[index + 1:index + 2] in (" ", ""):
            rest = rest[:index]
            break
    clause = head + rest.strip()
    return clause[:1].upper() + clause[1:] if clause[:1].islower() else clause


def run_blocks(readme):
    """Each ```sh block of a README, with the unit that holds it (a list
    that nests it, or the block itself) and the passage just before it in
    its section: the paragraph or the list item it follows ("" after a
    heading)."""
    for section in readme.sections:
        said = ""
        for unit in section.units:
            for part in unit.parts:
                if part.kind == "heading":
                    said = ""
                elif part.kind == "text":
                    said = passages(part)[-1]
                elif part.lang == "sh":
                    yield unit, part, said


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
