#!/usr/bin/python3
"""Urbica and Mapnik drawing the same city view, side by side.

    /usr/bin/python3 scripts/mapnik_compare.py EXTRACT.osm BUILD_BIN [RUNS]

Needs python3-mapnik and osmium-tool (Debian packages; not needed to build or
test Urbica). The extract is imported with urbica-import and exported with
`osmium export` to GeoJSON, which Mapnik reads with a small style of ours:
areas (water, green, buildings, the rest of landuse) filled and outlined,
roads by class, railways, and names along roads and at points with a halo.
Both draw a 1920x1080 picture of the extract's area (the dataset's start view,
about 1.1 times the exported area, centred on it) at device pixel ratio 1 and 2
(Mapnik's scale_factor), both smoothed, and each is timed drawing the picture
in memory again and again inside one process, data and style loaded
(urbica-render --repeat, mapnik.render into an image); no file is written in
the timed part. Prints the median of RUNS pictures of each.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

import mapnik

MERC = ("+proj=merc +a=6378137 +b=6378137 +lat_ts=0 +lon_0=0 +x_0=0 +y_0=0 +k=1 "
        "+units=m +nadgrids=@null +wktext +no_defs")
LONLAT = "+proj=longlat +datum=WGS84 +no_defs"
W, H = 1920, 1080

# (filter, fill, outline) for areas, drawn in this order.
AREAS = [
    ("[landuse] != null or [place] != null", "#f2efe9", "#d0ccc4"),
    ("[leisure] = 'park' or [leisure] = 'garden' or [landuse] = 'grass' or "
     "[natural] = 'wood'", "#c8facc", "#9dd09f"),
    ("[natural] = 'water' or [waterway] = 'riverbank' or [water] != null", "#aad3df", "#7fb4c4"),
    ("[building] != null", "#d9d0c9", "#b5a99e"),
]
# (filter, colour, width) for lines.
LINES = [
    ("[waterway] = 'canal' or [waterway] = 'river'", "#aad3df", 4),
    ("[railway] != null", "#707070", 2),
    ("[highway] = 'footway' or [highway] = 'pedestrian' or [highway] = 'path'", "#fa8072", 1),
    ("[highway] = 'service' or [highway] = 'residential' or [highway] = 'living_street'",
     "#ffffff", 3),
    ("[highway] = 'primary' or [highway] = 'secondary' or [highway] = 'tertiary'", "#fcd6a4", 6),
]


def style_xml(geojson):
    m = ET.Element("Map", {"srs": MERC, "background-color": "#f2efe9"})
    styles = []

    def style(name, rules):
        s = ET.SubElement(m, "Style", {"name": name})
        for flt, symbolizers in rules:
            r = ET.SubElement(s, "Rule")
            ET.SubElement(r, "Filter").text = flt
            for tag, attrs, text in symbolizers:
                e = ET.SubElement(r, tag, attrs)
                if text:
                    e.text = text
        styles.append(name)

    style("areas", [(f"({f}) and [mapnik::geometry_type] = polygon",
                     [("PolygonSymbolizer", {"fill": fill, "gamma": "0.9"}, None),
                      ("LineSymbolizer", {"stroke": line, "stroke-width": "1"}, None)])
                    for f, fill, line in AREAS])
    style("lines", [(f"({f}) and [mapnik::geometry_type] = linestring",
                     [("LineSymbolizer", {"stroke": c, "stroke-width": str(w),
                                          "stroke-linejoin": "round"}, None)])
                    for f, c, w in LINES])
    text = {"face-name": "DejaVu Sans Book", "size": "10", "fill": "#303030",
            "halo-fill": "#ffffff", "halo-radius": "1.5"}
    style("labels", [
        ("[highway] != null and [name] != null and [mapnik::geometry_type] = linestring",
         [("TextSymbolizer", dict(text, placement="line", spacing="300"), "[name]")]),
        ("[name] != null and [mapnik::geometry_type] = point",
         [("TextSymbolizer", dict(text, dy="6"), "[name]")]),
        ("[name] != null and [mapnik::geometry_type] = polygon",
         [("TextSymbolizer", dict(text, placement="interior"), "[name]")]),
    ])
    layer = ET.SubElement(m, "Layer", {"name": "osm", "srs": LONLAT})
    for s in styles:
        ET.SubElement(layer, "StyleName").text = s
    ds = ET.SubElement(layer, "Datasource")
    ET.SubElement(ds, "Parameter", {"name": "type"}).text = "geojson"
    ET.SubElement(ds, "Parameter", {"name": "file"}).text = geojson
    return ET.tostring(m, encoding="unicode")


def bounds(extract):
    for _, e in ET.iterparse(extract, events=("start",)):
        if e.tag == "bounds":
            return tuple(float(e.get(k)) for k in ("minlon", "minlat", "maxlon", "maxlat"))
    raise SystemExit("the extract has no <bounds>")


def median_seconds(fn, runs):
    fn()  # once before timing
    times = []
    for _ in range(runs):
        t = time.perf_counter()
        fn()
        times.append(time.perf_counter() - t)
    return statistics.median(times)


def main():
    extract, bindir = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 20
    work = tempfile.mkdtemp(prefix="mapnik-compare-")
    city = os.path.join(work, "city")
    subprocess.run([os.path.join(bindir, "urbica-import"), extract, "--out", city],
                   check=True, stdout=subprocess.DEVNULL)
    geojson = os.path.join(work, "osm.geojson")
    subprocess.run(["osmium", "export", extract, "-o", geojson, "--overwrite"], check=True)

    m = mapnik.Map(W, H)
    mapnik.load_map_from_string(m, style_xml(geojson))
    lon0, lat0, lon1, lat1 = bounds(extract)
    to_merc = mapnik.ProjTransform(mapnik.Projection(LONLAT), mapnik.Projection(MERC))
    box = to_merc.forward(mapnik.Box2d(lon0, lat0, lon1, lat1))
    cx, cy, half = box.center().x, box.center().y, box.width() * 1.1 / 2
    m.zoom_to_box(mapnik.Box2d(cx - half, cy - half * H / W, cx + half, cy + half * H / W))

    rows = []
    for ratio in (1, 2):
        im = mapnik.Image(W * ratio, H * ratio)
        mapnik_s = median_seconds(lambda: mapnik.render(m, im, ratio), runs)
        im.save(os.path.join(work, f"mapnik-{ratio}.png"), "png")

        out = os.path.join(work, f"urbica-{ratio}.png")
        cmd = [os.path.join(bindir, "urbica-render"), "--data", city, "--size",
               f"{W + 4}x{H + 4}", "--out", out, "--smooth", "--labels-apart",
               "--scale-factor", str(ratio), "--repeat", str(runs)]
        said = subprocess.run(cmd, check=True, capture_output=True, text=True).stdout
        median = [line for line in said.splitlines() if "median of" in line][0]
        urbica = float(median.split()[0]) / 1000
        rows.append((ratio, urbica, mapnik_s))
    print("| ratio | urbica | Mapnik | urbica ÷ Mapnik |")
    print("|---|---|---|---|")
    for ratio, u, mk in rows:
        print(f"| {ratio} | {u * 1000:.0f} ms | {mk * 1000:.0f} ms | {u / mk:.2f} |")
    print(f"pictures in {work}")


if __name__ == "__main__":
    main()
