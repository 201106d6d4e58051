#!/usr/bin/env python3
"""How well the searches find the addresses of a real extract.

usage: address_check.py EXTRACT.osm[.pbf] [--bin DIR] [--keep DIR] [--city NAME]

Imports the extract with urbica-import, takes every distinct pair of
addr:street and addr:housenumber of its objects, and asks urbica-find geocode
for each: as "street<TAB>house", and written in one line in three forms
("street house", "house, street" turned around as "street, д. house", and
"CITY, street with its type word moved, house"). Prints the share placed exactly,
the share of one-line forms giving the same house, and the largest distance
between a result's latitude and longitude and its object in the extract
(to the object's outline box; 0 inside it). A .pbf file is read through
`osmium cat` (Debian osmium-tool).
"""
import argparse
import math
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

TYPE_WORDS = ["улица", "проспект", "переулок", "бульвар", "площадь", "шоссе", "набережная",
              "проезд", "тупик", "аллея", "линия", "вуліца", "праспект", "завулак", "плошча"]


def read_osm(path):
    if path.endswith(".pbf"):
        xml = subprocess.run(["osmium", "cat", "-f", "osm", "-o", "-", path], check=True,
                             capture_output=True).stdout
        root = ET.fromstring(xml)
    else:
        root = ET.parse(path).getroot()
    nodes = {}
    objects = []  # (street, house, (minlat, minlon, maxlat, maxlon))
    ways = {}
    for el in root:
        if el.tag == "node":
            nodes[el.get("id")] = (float(el.get("lat")), float(el.get("lon")))
    for el in root:
        tags = {t.get("k"): t.get("v") for t in el.findall("tag")}
        pts = []
        if el.tag == "node":
            pts = [nodes[el.get("id")]]
        elif el.tag == "way":
            pts = [nodes[n.get("ref")] for n in el.findall("nd") if n.get("ref") in nodes]
            ways[el.get("id")] = pts
        elif el.tag == "relation":
            for m in el.findall("member"):
                if m.get("type") == "way":
                    pts += ways.get(m.get("ref"), [])
        street = tags.get("addr:street") or tags.get("addr:place")
        house = tags.get("addr:housenumber")
        if not street or not house or not pts:
            continue
        lats = [p[0] for p in pts]
        lons = [p[1] for p in pts]
        objects.append((" ".join(street.split()), " ".join(house.split()),
                        (min(lats), min(lons), max(lats), max(lons))))
    return objects


def distance(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dp, dl = p2 - p1, math.radians(lon2 - lon1)
    a = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 2 * 6371008.8 * math.asin(min(1.0, math.sqrt(a)))


def to_box(lat, lon, box):
    la = min(max(lat, box[0]), box[2])
    lo = min(max(lon, box[1]), box[3])
    return distance(lat, lon, la, lo)


def house_numbers(house):
    """The numbers an address names: its first number and the ends of ranges and lists."""
    runs = re.findall(r"(^|[-–;,]\s*)(\d+)", house.strip())
    first = re.match(r"\D*(\d+)", house)
    found = {r[1] for r in runs}
    if first:
        found.add(first.group(1))
    return found


def one_line_forms(street, house, city):
    words = street.split()
    lowered = [w.lower() for w in words]
    typ = next((w for w in lowered if w in TYPE_WORDS), None)
    if typ:
        rest = " ".join(w for w in words if w.lower() != typ)
        moved = f"{rest} {typ}" if lowered[0] == typ else f"{typ} {rest}"
    else:
        moved = street
    return [f"{street} {house}", f"{street}, д. {house}", f"{city}, {moved}, {house}"]


def geocode(find, data, lines):
    out = subprocess.run([find, "--data", data, "geocode", "-"], input="\n".join(lines) + "\n",
                         capture_output=True, text=True).stdout
    results = {}
    for row in out.splitlines():
        f = row.split("\t")
        if len(f) < 2:
            continue
        n = int(f[0])
        if f[1] in ("exact", "nearest") and len(f) >= 9:
            results[n] = (f[1], f[3], f[4], float(f[7]), float(f[8]), f[2])
        else:
            results[n] = (f[1],)
    return results


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("extract")
    ap.add_argument("--bin", default=os.path.join(os.path.dirname(__file__), "..", "build", "bin"))
    ap.add_argument("--keep")
    ap.add_argument("--city", default="Город")
    a = ap.parse_args()
    data = a.keep or tempfile.mkdtemp(prefix="urbica-check-")
    subprocess.run([os.path.join(a.bin, "urbica-import"), a.extract, "--out", data], check=True,
                   capture_output=True)
    objects = read_osm(a.extract)
    boxes = {}
    for street, house, box in objects:
        boxes.setdefault((street, house), []).append(box)
    pairs = sorted(boxes)
    find = os.path.join(a.bin, "urbica-find")
    tab = geocode(find, data, [f"{s}\t{h}" for s, h in pairs])
    exact = [i for i in range(len(pairs)) if tab.get(i + 1, ("",))[0] == "exact"]
    # Several addresses may name one house ("30-32" names 32 too, "1. UG" is
    # house 1): a result is measured against every object of its street whose
    # address names the result's number.
    named = {}
    for street, house, box in objects:
        for n in house_numbers(house):
            named.setdefault((street, n), []).append(box)
    worst, worst_pair = 0.0, None
    for i in exact:
        r = tab[i + 1]
        street = pairs[i][0]
        m = re.search(r"д\.(\d+)", r[5])
        near = list(boxes[pairs[i]])
        if m:
            near += named.get((street, m.group(1)), [])
        d = min(to_box(r[3], r[4], b) for b in near)
        if d > worst:
            worst, worst_pair = d, pairs[i]
    forms = [one_line_forms(s, h, a.city) for s, h in pairs]
    lines = [f for fs in forms for f in fs]
    one = geocode(find, data, lines)
    same = 0
    tried = 0
    differ = []
    for i in exact:
        for k in range(3):
            tried += 1
            r = one.get(i * 3 + k + 1, ("",))
            if r[0] == "exact" and r[1:3] == tab[i + 1][1:3]:
                same += 1
            elif len(differ) < 10:
                differ.append((forms[i][k], r[-1] if len(r) > 1 else r[0], tab[i + 1][-1]))
    n = len(pairs)
    print(f"{os.path.basename(a.extract)}: {n} distinct addresses")
    print(f"  geocode street<TAB>house exact: {len(exact)} ({100.0 * len(exact) / max(1, n):.1f} %)")
    print(f"  one-line forms giving the same house: {same} of {tried} "
          f"({100.0 * same / max(1, tried):.1f} %)")
    print(f"  largest distance from the object: {worst:.1f} m {worst_pair or ''}")
    for line, got, wanted in differ:
        print(f"  one line: {line!r} gives {got!r}, not {wanted!r}")
    missed = [pairs[i] for i in range(n) if tab.get(i + 1, ("",))[0] != "exact"]
    for s, h in missed[:15]:
        print(f"  not exact: {s}\t{h}\t{tab.get(pairs.index((s, h)) + 1)}")


if __name__ == "__main__":
    sys.exit(main())
