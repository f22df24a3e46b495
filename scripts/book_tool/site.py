"""The site built from the pages: mkdocs with the material theme, offline.

Material's search runs in a web worker that fetches search_index.json.
Opened from the file system, Chromium refuses both: a page of a file:// URL
may neither start a worker from a file nor fetch one. The theme reads a
global `__search` first, though, for an index and a worker URL; so
search/offline.js, loaded by a plain script tag (which file:// allows),
hands it the index as data and the worker as a blob: URL made from the
worker's own source. The same path serves a book on a web server.
"""

import glob
import json
import os
import re
import shutil
import subprocess

THEME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "theme")

EXTENSIONS = [
    "admonition", "attr_list", "md_in_html", "tables",
    {"toc": {"permalink": True}},
    "pymdownx.details",
    {"pymdownx.highlight": {"anchor_linenums": False}},
    "pymdownx.superfences",
]

# A URL of another host in an attribute or a stylesheet that the browser
# loads by itself (a plain <a href> is only a link a reader may follow).
LOADED = re.compile(
    r"<(?:script|link|img|iframe|source|embed|object|audio|video)\b[^>]*?"
    r"\b(?:src|href|data|srcset)\s*=\s*[\"']?\s*(?:https?:)?//[^\s\"'>]+"
    r"|@import\s+(?:url\()?[\"']?(?:https?:)?//|url\(\s*[\"']?(?:https?:)?//",
    re.IGNORECASE)


class SiteError(Exception):
    pass


def missing_generator():
    """What is missing to build the site, or "" when nothing is."""
    mkdocs = shutil.which("mkdocs")
    if not mkdocs:
        return "mkdocs"
    # The theme and the Markdown extensions, as the Python that runs mkdocs
    # finds them.
    with open(mkdocs, encoding="utf-8", errors="replace") as f:
        interpreter = f.readline()[2:].strip().split()
    found = subprocess.run(
        [*interpreter, "-c", "import sys, pymdownx; from mkdocs.utils import "
         "get_theme_names; sys.exit('material' not in get_theme_names())"],
        capture_output=True)
    return "" if found.returncode == 0 else "mkdocs-material"


def write_config(path, name, docs, site, nav):
    config = {
        "site_name": name,
        "docs_dir": docs,
        "site_dir": site,
        # Pages as files (plan/index.html), so that links work from file://.
        "use_directory_urls": False,
        "theme": {
            "name": "material",
            "custom_dir": THEME,
            "font": False,  # the reader's own fonts: nothing from outside
            "features": ["navigation.top", "navigation.indexes"],
        },
        "plugins": ["search"],
        "markdown_extensions": EXTENSIONS,
        "extra": {"generator": False},
        "nav": [{title: page} for title, page in nav],
    }
    # JSON is YAML, and needs no YAML writer.
    with open(path, "w", encoding="utf-8") as f:
        json.dump(config, f, indent=1)


def build(config, log_path):
    with open(log_path, "w", encoding="utf-8") as log:
        done = subprocess.run(["mkdocs", "build", "--strict", "-f", config],
                              stdout=log, stderr=subprocess.STDOUT)
    if done.returncode != 0:
        with open(log_path, encoding="utf-8") as log:
            lines = [l.rstrip() for l in log if "ERROR" in l or "WARNING" in l]
        raise SiteError("mkdocs failed: " + ("; ".join(lines[-3:]) or
                                             f"see {log_path}"))


def add_offline_search(site):
    with open(os.path.join(site, "search", "search_index.json"), encoding="utf-8") as f:
        index = json.load(f)
    workers = glob.glob(os.path.join(site, "assets", "javascripts", "workers", "search.*.js"))
    workers = [w for w in workers if not w.endswith(".map")]
    if len(workers) != 1:
        raise SiteError(f"expected one search worker in the theme, found {len(workers)}")
    with open(workers[0], encoding="utf-8") as f:
        worker = f.read()
    script = (
        "// The search index and the search worker, for a book opened from\n"
        "// the file system too: written by scripts/book (scripts/book_tool/site.py).\n"
        "var __search = {\n"
        f"  index: Promise.resolve({json.dumps(index)}),\n"
        "  worker: URL.createObjectURL(new Blob(\n"
        f"    [{json.dumps(worker)}], {{type: \"text/javascript\"}}))\n"
        "};\n")
    with open(os.path.join(site, "search", "offline.js"), "w", encoding="utf-8") as f:
        f.write(script)


def outside_loads(site):
    """Every file of the site that makes a browser load from another host,
    with what it loads."""
    found = []
    for path in glob.glob(os.path.join(site, "**", "*"), recursive=True):
        if not path.endswith((".html", ".css", ".js")) or path.endswith("offline.js"):
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            for match in LOADED.finditer(f.read()):
                found.append(f"{os.path.relpath(path, site)}: {match.group(0)[:100]}")
    return found
