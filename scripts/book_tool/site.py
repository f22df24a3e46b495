"""The site built from the pages: mkdocs with the material theme, offline.

Opened from the file system, Chromium lets a page load scripts, styles and
pictures by their tags, but neither fetch a file nor start a worker from
one, and the theme's search does both; theme/search/offline.js says how the
book's search does without.
"""

import glob
import json
import os
import re
import shutil
import subprocess

THEME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "theme")

EXTENSIONS = [
    "admonition", "attr_list", "md_in_html", "sane_lists", "tables",
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
        # Pages as files (data/index.html, not data/), so that links work
        # from the file system too.
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
        "nav": nav,
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
    """Writes search/offline_data.js: the index and the worker's source, as
    data that theme/search/offline.js reads."""
    with open(os.path.join(site, "search", "search_index.json"), encoding="utf-8") as f:
        index = json.load(f)
    workers = glob.glob(os.path.join(site, "assets", "javascripts", "workers", "search.*.js"))
    if len(workers) != 1:
        raise SiteError(f"expected one search worker in the theme, found {len(workers)}")
    with open(workers[0], encoding="utf-8") as f:
        worker = f.read()
    data = json.dumps({"index": index, "worker": worker})
    with open(os.path.join(site, "search", "offline_data.js"), "w", encoding="utf-8") as f:
        f.write(f"// Written by scripts/book for search/offline.js.\nvar __bookSearchData = {data};\n")


def outside_loads(site):
    """Every file of the site that makes a browser load from another host,
    with what it loads."""
    found = []
    for path in glob.glob(os.path.join(site, "**", "*"), recursive=True):
        if not path.endswith((".html", ".css", ".js")) or path.endswith("offline_data.js"):
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            for match in LOADED.finditer(f.read()):
                found.append(f"{os.path.relpath(path, site)}: {match.group(0)[:100]}")
    return found
