#!/usr/bin/env python3
"""Loads a local page in headless Chromium and prints, as JSON, what the
browser made of it: the document title, every element's tag, the links with
their targets and texts, the table cells with their classes and texts, and
the attributes of <body> (a script that ran would have left a mark).

Usage: browser_dom.py PAGE FLAGS_FILE [SCREENSHOT.png]
Chromium gets every flag of FLAGS_FILE (one line; the --host-resolver-rules
value holds spaces), a fresh profile, and --no-sandbox when run as root.
"""
import json
import os
import shlex
import subprocess
import sys
import tempfile
from html.parser import HTMLParser

DEFAULT_FLAGS = [
    "--no-first-run", "--no-default-browser-check", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--disable-default-apps",
    "--disable-domain-reliability", "--disable-breakpad", "--metrics-recording-only",
    "--proxy-server=http://127.0.0.1:9",
    "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE localhost , EXCLUDE 127.0.0.1",
]


def read_flags(path):
    """The flags of the shared file: each starts with "--"; a value may hold spaces."""
    if not os.path.isfile(path):
        return DEFAULT_FLAGS
    with open(path, encoding="utf-8") as f:
        words = f.read().split()
    flags = []
    for word in words:
        if word.startswith("--") or not flags:
            flags.append(word)
        else:
            flags[-1] += " " + word
    return flags


def chromium(args, flags, profile):
    command = ["chromium", *flags, "--user-data-dir=" + profile, "--headless",
               "--disable-gpu", *args]
    if os.geteuid() == 0:
        command.insert(1, "--no-sandbox")
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=120, check=False)
    if done.returncode != 0:
        sys.exit("chromium failed: " + " ".join(shlex.quote(c) for c in command) + "\n" +
                 done.stderr.decode("utf-8", "replace")[-2000:])
    return done.stdout.decode("utf-8")


class Dom(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.result = {"title": "", "tags": [], "links": [], "cells": [], "body": {}}
        self.open = []  # (tag, record) of the elements whose text is being gathered

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.result["tags"].append(tag)
        if tag == "body":
            self.result["body"] = attrs
        elif tag == "a":
            record = {"href": attrs.get("href"), "text": ""}
            self.result["links"].append(record)
            self.open.append(("a", record))
        elif tag == "td":
            record = {"class": attrs.get("class"), "text": ""}
            self.result["cells"].append(record)
            self.open.append(("td", record))
        elif tag == "title":
            self.open.append(("title", None))

    def handle_endtag(self, tag):
        for i in range(len(self.open) - 1, -1, -1):
            if self.open[i][0] == tag:
                del self.open[i:]
                break

    def handle_data(self, data):
        for tag, record in self.open:
            if tag == "title":
                self.result["title"] += data
            else:
                record["text"] += data


def main():
    page, flags_file = os.path.abspath(sys.argv[1]), sys.argv[2]
    flags = read_flags(flags_file)
    with tempfile.TemporaryDirectory() as profile:
        dom = chromium(["--dump-dom", "file://" + page], flags, profile)
    parser = Dom()
    parser.feed(dom)
    if len(sys.argv) > 3:
        with tempfile.TemporaryDirectory() as profile:
            chromium(["--window-size=900,700", "--screenshot=" + os.path.abspath(sys.argv[3]),
                      "file://" + page], flags, profile)
    print(json.dumps(parser.result, ensure_ascii=False))


if __name__ == "__main__":
    main()
