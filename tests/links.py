#!/usr/bin/env python3
# Every relative link in README.md and docs/*.md leads somewhere: to a file
# or folder of the source and, after a '#', to a heading of that Markdown
# file, anchored as GitHub anchors it. Names each link that does not.
import glob
import os
import re
import sys

root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
LINK = re.compile(r"!?\[[^\]]*\]\(\s*<?([^)\s>]*)|^ {0,3}\[[^\]]+\]:\s*<?([^\s>]+)", re.M)


def read(path):  # the text without fenced code blocks
    with open(path, encoding="utf-8") as f:
        return re.sub(r"^ {0,3}(```|~~~).*?^ {0,3}\1", "", f.read(), flags=re.M | re.S)


def anchors(path):
    found, seen = set(), {}
    for heading in re.findall(r"^ {0,3}#{1,6}\s+(.*?)[\s#]*$", read(path), re.M):
        heading = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link's text only
        slug = re.sub(r"[^\w\- ]", "", heading.lower()).replace(" ", "-")
        found.add(slug + (f"-{seen[slug]}" if slug in seen else ""))
        seen[slug] = seen.get(slug, 0) + 1
    return found


broken = []
for path in [os.path.join(root, "README.md")] + sorted(glob.glob(os.path.join(root, "docs", "*.md"))):
    text = re.sub(r"`[^`\n]*`", "", read(path))  # nor code spans
    for match in LINK.finditer(text):
        target = match.group(1) or match.group(2) or ""
        if re.match(r"[A-Za-z][A-Za-z0-9+.-]*:", target):  # http:, mailto: and the like
            continue
        name, _, anchor = target.partition("#")
        dest = os.path.normpath(os.path.join(os.path.dirname(path), name)) if name else path
        if not target or not os.path.exists(dest) or (
                anchor and not (dest.endswith(".md") and anchor in anchors(dest))):
            broken.append(f"{os.path.relpath(path, root)}: ({target})")

if broken:
    print("Links that lead nowhere:", *broken, sep="\n  ")
    sys.exit(1)
