#!/usr/bin/env python3
"""Checks the help: every page is compiled into HELP.CHM, every link,
contents entry and index entry lands on an existing page and anchor, and
every caption the user meets on the panel, in the settings dialog and in the
tray menu is explained somewhere.

    check_help.py HELP_SOURCE_DIR HELP.CHM
"""
import html
import os
import re
import subprocess
import sys

CAPTIONS = [
    "Auto", "Manual", "Min", "Max", "Link", "2D", "3D", "Test", "Apply",
    "Master", "Slave", "Vexa BIOS", "Settings", "Restore Def. Hw Settings",
    "About", "Fan Speed", "GPU Clock", "Shader Clock", "Mem. Clock",
    "GPU Temp.", "Shader", "GPU", "Mem.", "Donot run", "Run",
    "Run and minimize", "Run and minimize to system tray",
    "Apply hardware settings and quit", "Save hardware settings before quit",
    "Show at startup", "Main window", "Quit", "OK", "Cancel", "Help",
]


def project_files(src):
    files, section = [], None
    for line in open(os.path.join(src, "vexa.hhp"), encoding="utf-8"):
        line = line.strip()
        if line.startswith("["):
            section = line
        elif section == "[FILES]" and line:
            files.append(line)
    return files


def text_of(path):
    raw = open(path, encoding="utf-8").read()
    return html.unescape(re.sub(r"<[^>]+>", " ", raw)), raw


def main():
    src, chm = sys.argv[1], sys.argv[2]
    problems = []
    files = project_files(src)
    pages = sorted(f for f in os.listdir(src) if f.endswith(".html"))
    for p in pages:
        if p not in files:
            problems.append("%s is not in the project's file list" % p)
    anchors = {}
    for f in files:
        if not os.path.exists(os.path.join(src, f)):
            problems.append("listed file %s is missing" % f)
        elif f.endswith(".html"):
            raw = open(os.path.join(src, f), encoding="utf-8").read()
            anchors[f] = set(re.findall(r'name="([^"]+)"', raw))
    targets = []
    for f in pages:
        raw = open(os.path.join(src, f), encoding="utf-8").read()
        targets += [(f, t) for t in re.findall(r'href="([^"]+)"', raw)]
    for f in ("toc.hhc", "index.hhk"):
        raw = open(os.path.join(src, f), encoding="utf-8").read()
        targets += [(f, t) for t in re.findall(r'name="Local" value="([^"]+)"', raw)]
    for where, t in targets:
        if "://" in t:
            continue
        page, _, anchor = t.partition("#")
        if page not in anchors and not page.endswith(".css"):
            problems.append("%s links to missing %s" % (where, t))
        elif anchor and anchor not in anchors.get(page, set()):
            problems.append("%s links to missing anchor %s" % (where, t))
    text = " ".join(text_of(os.path.join(src, p))[0] for p in pages)
    text = re.sub(r"\s+", " ", text)
    for caption in CAPTIONS:
        if not re.search(r"(?<![\w.])%s(?![\w])" % re.escape(caption), text):
            problems.append("the help never mentions \"%s\"" % caption)
    listing = subprocess.run(["chmls", chm], capture_output=True, text=True).stdout
    for f in files:
        if not re.search(r"\s/%s$" % re.escape(f), listing, re.M):
            problems.append("%s is not inside %s" % (f, chm))
    for p in problems:
        print(p)
    print("%d pages, %d links checked; %d problems" % (len(pages), len(targets), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
