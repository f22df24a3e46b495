#!/usr/bin/env python3
"""The lesson book in a real browser: headless Chromium opens every page of
a built book, from the file system and served on loopback, and checks that
each loads with no error in the console and nothing from another host, that
every link inside the book resolves (the page, and the heading its fragment
names) and each lesson of the plan links its place on its page, that every
image has a size, that an exercise's hint stays folded until clicked, and
that search finds a lesson by a word of its text. It saves screenshots of
the plan, a folder's page at its first lesson, and a picture.

  scripts/tests/book_browser_test.py [BOOK] [--screenshots DIR]

BOOK defaults to build/book (scripts/book builds it), DIR to
build/book-screenshots. Ends with "N passed, N failed"; exit status 1 when
a check failed.
"""

import argparse
import functools
import http.server
import json
import os
import re
import sys
import threading
import urllib.parse
from collections import Counter

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from book_tool.browser import Browser, BrowserError, find_chromium  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# Search answers within milliseconds; this only bounds a search that hangs.
SEARCH_TIMEOUT_MS = 15000
# How long a page is watched after its load event.
SETTLE_MS = 200

# What each page reports about itself, read in the page after its load.
PAGE_FACTS = """(() => ({
  links: Array.from(document.querySelectorAll('a[href]'), a => a.href),
  ids: Array.from(document.querySelectorAll('[id]'), e => e.id),
  images: Array.from(document.images, i => ({
    src: i.currentSrc || i.src, done: i.complete,
    width: i.naturalWidth, height: i.naturalHeight})),
  hints: Array.from(document.querySelectorAll('details.tip'), d => d.open),
  planItems: Array.from(document.querySelectorAll('article ol > li'), li =>
    Array.from(li.querySelectorAll('a[href*="#lesson-"]'), a => a.href)),
}))()"""

# Types a query into the theme's search box and waits for the results'
# links, or gives up after the bound with what the box showed. A query typed
# before the index is ready may be dropped, so it is typed again, cleared
# first, every half second until results come.
SEARCH = """((query, bound) => new Promise(resolve => {
  const box = document.querySelector('[data-md-component=search-query]');
  if (!box) return resolve({error: 'no search box on the page'});
  const type = text => {
    box.value = text;
    box.dispatchEvent(new KeyboardEvent('keyup', {key: text.slice(-1)}));
  };
  box.focus();
  const started = Date.now();
  let typed = 0;
  const look = () => {
    const links = Array.from(
      document.querySelectorAll('.md-search-result__item a'), a => a.href);
    if (links.length) return resolve({links});
    const waited = Date.now() - started;
    if (waited > bound) {
      const meta = document.querySelector('.md-search-result__meta');
      return resolve({error: 'no result within ' + bound + ' ms; the box said: '
                      + (meta ? meta.textContent.trim() : 'nothing')});
    }
    if (waited >= typed * 500) {
      type('');
      type(query);
      typed += 1;
    }
    setTimeout(look, 100);
  };
  look();
}))"""


class Checks:
    """Named checks, each passed or failed with its reasons."""

    def __init__(self):
        self.passed = 0
        self.failed = 0

    def report(self, name, problems):
        if problems:
            self.failed += 1
            print(f"FAIL {name}")
            for problem in problems[:20]:
                print(f"  {problem}")
            if len(problems) > 20:
                print(f"  ... and {len(problems) - 20} more")
        else:
            self.passed += 1
            print(f"ok   {name}")


def book_pages(book):
    """The site paths of the book's pages; 404.html is only a server's
    answer to a missing page, and it is left out."""
    pages = []
    for folder, _, files in os.walk(book):
        for name in files:
            path = os.path.relpath(os.path.join(folder, name), book)
            if name.endswith(".html") and path != "404.html":
                pages.append(path)
    return sorted(pages, key=lambda p: (p != "index.html", p))


def console_problems(events, allowed_hosts):
    """Errors in the console and loads from anywhere but the book."""
    problems = []
    urls = {e["params"]["requestId"]: e["params"]["request"]["url"]
            for e in events if e["method"] == "Network.requestWillBeSent"}
    for event in events:
        method, params = event["method"], event["params"]
        if method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            problems.append("uncaught: " + (details.get("exception", {}).get(
                "description") or details.get("text", "")).split("\n")[0])
        elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "assert"):
            text = " ".join(str(a.get("value", a.get("description", "")))
                            for a in params.get("args", []))
            problems.append(f"console.{params['type']}: {text}")
        elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
            entry = params["entry"]
            problems.append(f"console: {entry['text']} {entry.get('url', '')}".strip())
        elif method == "Network.requestWillBeSent":
            url = urllib.parse.urlsplit(params["request"]["url"])
            if url.scheme not in ("file", "data", "blob") and url.netloc not in allowed_hosts:
                problems.append(f"loads from outside: {params['request']['url']}")
        elif method == "Network.loadingFailed" and not params.get("canceled"):
            problems.append(f"failed to load ({params['errorText']}): "
                            f"{urls.get(params['requestId'], params['requestId'])}")
    return problems


def link_problems(facts, base, book_url):
    """Links into the book that lead nowhere: no such page, or no such id."""
    problems = []
    for page, page_facts in facts.items():
        for link in page_facts["links"]:
            url = urllib.parse.urlsplit(link)
            if url.scheme not in ("file", "http") or not link.startswith(book_url):
                if url.scheme == "file":
                    problems.append(f"{page}: a link out of the book: {link}")
                continue
            target = urllib.parse.unquote(url.path[len(urllib.parse.urlsplit(book_url).path):])
            if target not in facts:
                problems.append(f"{page}: no page {target or '(a folder)'} ({link})")
            elif url.fragment and urllib.parse.unquote(url.fragment) not in facts[target]["ids"]:
                problems.append(f"{page}: no #{url.fragment} on {target}")
    return problems


def plan_problems(facts, book_url):
    """Lines of the plan without a link to their lesson on its page: no
    link, or one to a page or an id that is not there."""
    problems = []
    items = facts.get("index.html", {}).get("planItems", [])
    if not items:
        return ["the plan lists no lesson"]
    for number, links in enumerate(items, 1):
        if len(links) != 1:
            problems.append(f"lesson {number}: {len(links)} links to a lesson")
            continue
        page, _, anchor = links[0].partition("#")
        target = urllib.parse.unquote(page[len(book_url):]) if page.startswith(book_url) else None
        if target not in facts or urllib.parse.unquote(anchor) not in facts[target]["ids"]:
            problems.append(f"lesson {number}: {links[0]} leads to no lesson")
    return problems


def visit(browser, checks, book_url, pages, allowed_hosts, where):
    """Opens every page; returns what each page reported."""
    facts = {}
    for page in pages:
        problems = []
        try:
            browser.open(book_url + page)
            facts[page] = browser.evaluate(PAGE_FACTS)
            # What a page's scripts do just after its load is its own too.
            browser.evaluate(f"new Promise(done => setTimeout(done, {SETTLE_MS}))")
        except BrowserError as error:
            checks.report(f"{where}: {page} opens", [str(error)])
            continue
        problems += console_problems(browser.take_events(), allowed_hosts)
        for image in facts[page]["images"]:
            if not image["done"] or image["width"] == 0 or image["height"] == 0:
                problems.append(f"image without a size: {image['src']}")
        if any(facts[page]["hints"]):
            problems.append("a hint is open before it is asked for")
        checks.report(f"{where}: {page} loads, {len(facts[page]['images'])} images", problems)
    checks.report(f"{where}: every link inside the book resolves",
                  link_problems(facts, book_url, book_url))
    checks.report(f"{where}: each lesson of the plan links its place on its page",
                  plan_problems(facts, book_url))
    return facts


def hint_opens(browser, book_url, facts):
    page = next((p for p, f in facts.items() if f["hints"]), None)
    if not page:
        return ["no page has a hint"]
    browser.open(book_url + page)
    opened = browser.evaluate("""(() => {
      const hint = document.querySelector('details.tip');
      hint.querySelector('summary').click();
      return hint.open;
    })()""")
    return [] if opened else [f"{page}: clicking a hint's title does not open it"]


def distinctive_word(book, lesson_pages):
    """A word of a lesson page's text that no other page has, and the page:
    found in the book's own search index, so the test never goes stale."""
    with open(os.path.join(book, "search", "search_index.json"), encoding="utf-8") as f:
        docs = json.load(f)["docs"]
    words = {}
    for doc in docs:
        page = doc["location"].split("#")[0]
        text = re.sub(r"<[^>]+>", " ", doc["title"] + " " + doc["text"]).lower()
        words.setdefault(page, Counter()).update(re.findall(r"\b[a-z]{7,}\b", text))
    for page in lesson_pages:
        for word, _ in words.get(page, Counter()).most_common():
            if all(word not in words[other] for other in words if other != page):
                return word, page
    return None, None


def search_problems(browser, book_url, word, page, allowed_hosts):
    browser.open(book_url + "index.html")
    answer = browser.evaluate(f"{SEARCH}({json.dumps(word)}, {SEARCH_TIMEOUT_MS})")
    problems = console_problems(browser.take_events(), allowed_hosts)
    if "error" in answer:
        return problems + [f'"{word}": {answer["error"]}']
    found = [urllib.parse.urlsplit(link).path for link in answer["links"]]
    if not any(path.endswith("/" + page) for path in found):
        problems.append(f'"{word}" found {found}, not {page}')
    return problems


def lesson_pages(book):
    """The pages the plan names as lessons: in its headings and in bold."""
    with open(os.path.join(book, "index.html"), encoding="utf-8") as f:
        plan = f.read()
    article = plan[plan.find("<article"):plan.find("</article>")]
    pages = []
    for match in re.finditer(r"<(h2|strong)\b(.*?)</\1>", article, re.DOTALL):
        for href in re.findall(r'href="([^"#]+\.html)', match.group(2)):
            if href not in pages and href != "index.html":
                pages.append(href)
    return pages


def serve(book):
    """A web server for the book on loopback, in a thread; port 0 lets the
    system choose a free port."""
    handler = functools.partial(QuietHandler, directory=book)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def screenshots(browser, book_url, pages, folder):
    os.makedirs(folder, exist_ok=True)
    browser.open(book_url + "index.html")
    browser.screenshot(os.path.join(folder, "plan.png"))
    lesson = pages[0] if pages else "index.html"
    browser.open(book_url + lesson)
    # Through its fragment, as a link from the plan goes: the theme keeps a
    # target clear of the header.
    browser.evaluate("""(() => {
      const first = document.querySelector('article [id^="lesson-"]');
      if (first) location.hash = first.id; })()""")
    # The header fades its title in as the page scrolls.
    browser.evaluate(f"new Promise(done => setTimeout(done, {SETTLE_MS}))")
    browser.screenshot(os.path.join(folder, "lesson.png"))
    for page in pages:
        browser.open(book_url + page)
        if browser.evaluate("""(() => {
              const image = document.querySelector('article img');
              if (!image) return false;
              image.scrollIntoView({block: 'center'});
              return true; })()"""):
            browser.screenshot(os.path.join(folder, "picture.png"))
            break
    return [os.path.join(folder, name) for name in sorted(os.listdir(folder))]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("book", nargs="?", default=os.path.join(TOP, "build", "book"))
    parser.add_argument("--screenshots", default=os.path.join(TOP, "build", "book-screenshots"))
    args = parser.parse_args()
    book = os.path.abspath(args.book)
    if not find_chromium():
        print("Skipping the book's browser test: chromium is missing "
              "(scripts/deps installs it)", file=sys.stderr)
        return 1 if os.environ.get("CI") == "true" else 0
    if not os.path.isfile(os.path.join(book, "index.html")):
        print(f"No book in {book}: scripts/book builds it", file=sys.stderr)
        return 1

    checks = Checks()
    pages = book_pages(book)
    lessons = lesson_pages(book)
    word, page = distinctive_word(book, lessons)
    server = serve(book)
    host = f"127.0.0.1:{server.server_address[1]}"
    try:
        with Browser() as browser:
            file_url = f"file://{urllib.parse.quote(book)}/"
            facts = visit(browser, checks, file_url, pages, set(), "file")
            checks.report("file: a hint opens when its title is clicked",
                          hint_opens(browser, file_url, facts))
            http_url = f"http://{host}/"
            visit(browser, checks, http_url, pages, {host}, "loopback")
            for where, url, hosts in (("file", file_url, set()),
                                      ("loopback", http_url, {host})):
                problems = search_problems(browser, url, word, page, hosts) if word else \
                    ["no word of a lesson page is on that page alone"]
                checks.report(f'{where}: search finds {page} by "{word}"', problems)
            shots = screenshots(browser, file_url, lessons, args.screenshots)
            print("Screenshots: " + ", ".join(os.path.relpath(s, os.getcwd()) for s in shots))
    except BrowserError as error:
        checks.report("Chromium answers", [str(error)])
    finally:
        server.shutdown()
    print(f"book: {checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
