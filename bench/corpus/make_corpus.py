#!/usr/bin/python3
"""Builds the text corpus from the machine's translation catalogs: one line of
real UI text per line, 20-120 characters, for each language the benchmarks
and the fidelity comparison use. Deterministic for a given set of catalogs."""
import gettext
import glob
import os
import re
import sys

LANGUAGES = ["de", "ru", "el", "he", "ar", "ja", "zh_CN"]
PER_LANGUAGE = 200
# Characters of each language's own script; a line must be mostly in it, so
# that untranslated entries stay out.
SCRIPT = {
    "de": "A-Za-z\u00c0-\u017f",
    "ru": "\u0400-\u04ff",
    "el": "\u0370-\u03ff\u1f00-\u1fff",
    "he": "\u0590-\u05ff",
    "ar": "\u0600-\u06ff",
    "ja": "\u3040-\u30ff\u4e00-\u9fff",
    "zh_CN": "\u4e00-\u9fff",
}
UNWANTED = re.compile(r"[%{}<>\\\t\n\r_&|$`]|\.\.\.|https?:|[\x00-\x1f]")


def lines_of(language):
    texts = set()
    for path in sorted(glob.glob(f"/usr/share/locale/{language}/LC_MESSAGES/*.mo")):
        try:
            with open(path, "rb") as f:
                catalog = gettext.GNUTranslations(f)._catalog
        except Exception:
            continue
        for key, text in catalog.items():
            if not key or not isinstance(text, str):
                continue
            text = text.strip()
            if not (20 <= len(text) <= 120) or UNWANTED.search(text) or not text.isprintable():
                continue
            letters = [c for c in text if c.isalpha()]
            own = re.findall(f"[{SCRIPT[language]}]", text)
            if text[0].isalnum() and letters and len(own) >= 0.6 * len(letters):
                texts.add(text)
    texts = sorted(texts)
    step = max(1, len(texts) // PER_LANGUAGE)
    return texts[::step][:PER_LANGUAGE]


def main(out_dir):
    for language in LANGUAGES:
        lines = lines_of(language)
        with open(os.path.join(out_dir, f"{language}.txt"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        print(f"{language}: {len(lines)} lines")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__)))
