#!/usr/bin/env python3
"""Do one-line addresses with a language's abbreviations find the same house?

usage: abbreviation_check.py EXTRACT.osm[.pbf] --lang LANG[,LANG...] [--bin DIR] [--keep DIR]

Imports the extract, takes every distinct pair of addr:street and
addr:housenumber, and writes each street name the ways the language's
address dictionaries (src/search/dictionaries) shorten it: every word that a
dictionary line begins with, in turn, by each of its abbreviations (with a
dot), the compound endings of street types too ("Residenzstraße" as
"Residenzstr."), and all of them at once by the first. Prints, of the pairs
`urbica-find geocode` places exactly as "street house", the share whose
shortened forms give the same house, and a few that do not.
"""
import argparse
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import address_check  # noqa: E402

DICT = os.path.join(os.path.dirname(__file__), "..", "src", "search", "dictionaries")
FILES = ["street_types", "directionals", "place_names", "synonyms", "personal_titles",
         "qualifiers"]
ENDINGS = ["concatenated_suffixes_separable", "concatenated_suffixes_inseparable"]


def read_lines(lang, names):
    out = []
    for name in names:
        path = os.path.join(DICT, lang, name + ".txt")
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                for line in f:
                    parts = [p.strip() for p in line.strip().split("|") if p.strip()]
                    if len(parts) > 1 and " " not in parts[0]:
                        out.append(parts)
    return out


def abbreviations(langs):
    words, endings = {}, []
    for lang in langs:
        for parts in read_lines(lang, FILES):
            full = parts[0].lower()
            for v in parts[1:]:
                v = v.rstrip(".")
                # Spellings without national letters are not abbreviations.
                if len(v) >= len(full) - 1 or " " in v:
                    continue
                words.setdefault(full, [])
                if v not in words[full]:
                    words[full].append(v)
        for parts in read_lines(lang, ENDINGS):
            full = parts[0].lower()
            for v in parts[1:]:
                if v.endswith(".") and len(v) > 2:
                    endings.append((full, v))
    return words, endings


def shortened(street, words, endings):
    """The shortened forms of a street name: one word at a time, then all at once."""
    tokens = street.split(" ")
    forms = []
    firsts = list(tokens)
    for i, t in enumerate(tokens):
        low = t.lower()
        subs = []
        if low in words:
            subs = [v + "." if not re.search(r"[-.]", v) else v for v in words[low]]
            subs = [s[0].upper() + s[1:] if t[:1].isupper() else s for s in subs]
        else:
            for full, v in endings:
                if low.endswith(full) and len(low) > len(full) + 2:
                    subs.append(t[: len(t) - len(full)] + v)
        for s in subs:
            forms.append(" ".join(tokens[:i] + [s] + tokens[i + 1:]))
        if subs:
            firsts[i] = subs[0]
    if len(forms) > 1:
        forms.append(" ".join(firsts))
    return forms


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("extract")
    ap.add_argument("--lang", required=True)
    ap.add_argument("--bin", default=os.path.join(os.path.dirname(__file__), "..", "build", "bin"))
    ap.add_argument("--keep")
    a = ap.parse_args()
    data = a.keep or tempfile.mkdtemp(prefix="urbica-abbr-")
    import subprocess
    subprocess.run([os.path.join(a.bin, "urbica-import"), a.extract, "--out", data], check=True,
                   capture_output=True)
    pairs = sorted({(s, h) for s, h, _ in address_check.read_osm(a.extract)})
    find = os.path.join(a.bin, "urbica-find")
    full = address_check.geocode(find, data, [f"{s} {h}" for s, h in pairs])
    words, endings = abbreviations(a.lang.split(","))
    lines, owner = [], []
    for i, (s, h) in enumerate(pairs):
        if full.get(i + 1, ("",))[0] != "exact":
            continue
        for form in shortened(s, words, endings):
            lines.append(f"{form} {h}")
            owner.append(i)
    short = address_check.geocode(find, data, lines)
    same, differ = 0, []
    for k, i in enumerate(owner):
        r = short.get(k + 1, ("",))
        if r[0] == "exact" and r[1:3] == full[i + 1][1:3]:
            same += 1
        elif len(differ) < 15:
            differ.append((lines[k], r[-1] if len(r) > 1 else r[0], full[i + 1][-1]))
    streets = len({pairs[i][0] for i in owner})
    print(f"{os.path.basename(a.extract)} ({a.lang}): {len(pairs)} distinct addresses, "
          f"{len(set(owner))} with a shortened street name ({streets} streets)")
    print(f"  shortened forms giving the same house: {same} of {len(owner)} "
          f"({100.0 * same / max(1, len(owner)):.1f} %)")
    for line, got, wanted in differ:
        print(f"  {line!r} gives {got!r}, not {wanted!r}")


if __name__ == "__main__":
    sys.exit(main())
