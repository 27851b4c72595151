#!/usr/bin/python3
"""Keeps docs/architecture.md true: every source file of the tree is named
there (by its name without extension, test_ prefix or _test/_fuzzer
suffix), and every path the page names in backticks exists.
Usage: architecture_check.py ROOT"""
import glob
import os
import re
import subprocess
import sys

root = sys.argv[1]
page = open(os.path.join(root, "docs/architecture.md"), encoding="utf-8").read()
FOLDERS = ["src", "include", "tools", "gst", "tests", "bench", "fuzz", "scripts", "cmake", "python"]
try:
    files = subprocess.run(["git", "-C", root, "ls-files"] + FOLDERS, capture_output=True, text=True,
                           check=True).stdout.split()
except (OSError, subprocess.CalledProcessError):
    # Not a git checkout (or no git): every file of those folders.
    files = [os.path.relpath(os.path.join(d, f), root) for folder in FOLDERS
             for d, _, names in os.walk(os.path.join(root, folder)) for f in names]
missing = []
for path in files:
    if path.startswith(("fuzz/corpus/", "bench/corpus/")) and not path.endswith(".py"):
        continue  # data, not code
    stem = os.path.basename(path).split(".")[0]
    stem = re.sub(r"^test_|_(test|fuzzer)$", "", stem)
    if stem not in page:
        missing.append(path)
gone = []
for name in re.findall(r"`([^`\s]+/[^`\s]*)`", page):
    name = name.rstrip("/")
    candidates = [name, "src/" + name, "src/platform/portable/" + name, "tools/" + name, "tests/" + name,
                  "python/" + name]
    if not any(glob.glob(os.path.join(root, c)) for c in candidates):
        gone.append(name)
for path in missing:
    print("docs/architecture.md does not name", path)
for name in gone:
    print("docs/architecture.md names", name, "which does not exist")
sys.exit(1 if missing or gone else 0)
