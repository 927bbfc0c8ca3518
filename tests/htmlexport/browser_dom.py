#!/usr/bin/env python3
"""browser_dom.py PAGE FLAGS_FILE: loads PAGE in headless Chromium and prints
the elements of the DOM it built, with their attributes and text, as JSON."""
import json
import os
import subprocess
import sys
import tempfile
from html.parser import HTMLParser


def read_flags(path):
    """One line of flags, each starting with "--"; a value may hold spaces."""
    if not os.path.isfile(path):
        return ["--no-first-run", "--disable-background-networking",
                "--proxy-server=http://127.0.0.1:9"]
    flags = []
    for word in open(path, encoding="utf-8").read().split():
        if word.startswith("--") or not flags:
            flags.append(word)
        else:
            flags[-1] += " " + word
    return flags


class Dom(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.elements, self.open = [], []

    def handle_starttag(self, tag, attrs):
        self.elements.append({"tag": tag, "attrs": dict(attrs), "text": ""})
        self.open.append(self.elements[-1])

    def handle_endtag(self, tag):
        tags = [element["tag"] for element in self.open]
        if tag in tags:
            del self.open[len(tags) - 1 - tags[::-1].index(tag):]

    def handle_data(self, data):
        for element in self.open:
            element["text"] += data


with tempfile.TemporaryDirectory() as profile:
    command = ["chromium", *read_flags(sys.argv[2]), "--user-data-dir=" + profile, "--headless",
               "--disable-gpu", "--dump-dom", "file://" + os.path.abspath(sys.argv[1])]
    if os.geteuid() == 0:
        command.insert(1, "--no-sandbox")
    done = subprocess.run(command, capture_output=True, timeout=120, check=False)
if done.returncode != 0:
    sys.exit("chromium failed:\n" + done.stderr.decode("utf-8", "replace")[-2000:])
parser = Dom()
parser.feed(done.stdout.decode("utf-8"))
print(json.dumps(parser.elements, ensure_ascii=False))
