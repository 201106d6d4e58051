#!/usr/bin/env python3
"""Writes a synthetic OpenStreetMap XML city for timing urbica-import.

usage: synthetic_osm.py OUT.osm [NODES]   (default 1,000,000 nodes)

Streets on a grid with Russian names, a building of four nodes with an
address on every lot, a park and a school per block, a metro station at
every fourth crossing. Nothing here is real data.
"""
import random
import sys

out_path = sys.argv[1]
target = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
rng = random.Random(1)
lat0, lon0 = 55.70, 37.50
dlat, dlon = 1 / 111195.0, 1 / (111195.0 * 0.5628)  # degrees per metre near 55.7 N
block = 120  # metres between streets
lots = 6  # buildings per block side
# nodes per block: 2 sides * lots buildings * 4 nodes + 1 street node, about 49
side = int((target / 49) ** 0.5) + 1
stems = ["Садовая", "Лесная", "Школьная", "Полевая", "Заводская", "Молодёжная", "Речная",
         "Липовая", "Берёзовая", "Сосновая", "Луговая", "Парковая", "Почтовая", "Южная"]

next_id = [0]
f = open(out_path, "w", encoding="utf-8")
f.write("<?xml version='1.0' encoding='UTF-8'?>\n<osm version='0.6' generator='synthetic'>\n")
count = [0]


def node(x, y, tags=()):
    next_id[0] += 1
    count[0] += 1
    t = "".join(f"<tag k='{k}' v='{v}'/>" for k, v in tags)
    f.write(f"<node id='{next_id[0]}' version='1' lat='{lat0 - y * dlat:.7f}' "
            f"lon='{lon0 + x * dlon:.7f}'>{t}</node>\n" if t else
            f"<node id='{next_id[0]}' version='1' lat='{lat0 - y * dlat:.7f}' "
            f"lon='{lon0 + x * dlon:.7f}'/>\n")
    return next_id[0]


ways = []


def way(refs, tags):
    ways.append((refs, tags))


def street_name(i, horizontal):
    stem = stems[i % len(stems)]
    copy = i // len(stems)
    base = f"{stem} улица" if horizontal else f"{stem[:-2]}ый переулок"
    return f"{copy + 1}-я {base}" if copy else base


crossings = {}
for i in range(side + 1):
    for j in range(side + 1):
        tags = ()
        if i % 4 == 2 and j % 4 == 2:
            tags = (("railway", "station"), ("station", "subway"), ("name", f"Станция {i}-{j}"))
        crossings[i, j] = node(i * block, j * block, tags)
for j in range(side + 1):
    way([crossings[i, j] for i in range(side + 1)],
        (("highway", "residential" if j % 5 else "primary"), ("name", street_name(j, True))))
for i in range(side + 1):
    way([crossings[i, j] for j in range(side + 1)],
        (("highway", "residential"), ("name", street_name(i, False))))
numbers = {}
for i in range(side):
    for j in range(side):
        if count[0] >= target:
            break
        street = street_name(j, True)
        for s in (0, 1):  # north and south rows of the block
            y = j * block + (12 if s == 0 else block - 27)
            for k in range(lots):
                x = i * block + 10 + k * 17
                refs = [node(x, y), node(x + 14, y), node(x + 14, y + 15), node(x, y + 15)]
                st = street if s == 0 else street_name(j + 1, True)
                n = numbers.get(st, 0) + 1
                numbers[st] = n
                number = str(n) if rng.random() > 0.1 else f"{n}к{rng.randint(1, 3)}"
                way(refs + refs[:1], (("building", "yes"), ("addr:street", st),
                                      ("addr:housenumber", number)))
        if (i + j) % 7 == 0:
            node(i * block + 60, j * block + 60, (("amenity", "school"), ("name", f"Школа № {i * side + j}")))
for w_id, (refs, tags) in enumerate(ways, start=1):
    nd = "".join(f"<nd ref='{r}'/>" for r in refs)
    t = "".join(f"<tag k='{k}' v='{v}'/>" for k, v in tags)
    f.write(f"<way id='{w_id}' version='1'>{nd}{t}</way>\n")
f.write("</osm>\n")
f.close()
print(f"{out_path}: {count[0]} nodes, {len(ways)} ways", file=sys.stderr)
