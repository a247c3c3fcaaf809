"""rillgeo index at national scale and on oswego, as whole processes.

Run with Debian's Python (it has GDAL's bindings): /usr/bin/python3 bench/index_bench.py
[--points 600000] [--reaches 1000000] [--oswego-points 100000] [--work FOLDER] [--build FOLDER]
Builds a Release rillgeo and the basin tools, generates the basin with gen_basin, lays
its reaches out as flowlines with basin_lines (a GeoPackage with the NHDPlus columns,
and sites near random reaches, 1 in 20 anywhere), imports it with rillgeo import, then
times rillgeo index with measure_run: wall time and peak resident memory, reading
included. The same for sites near oswego's flowlines. Prints one Markdown table.
"""
import argparse
import os
import random
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OSWEGO = os.path.join(ROOT, "..", "shared", "data", "oswego", "raw", "flowlines.gpkg")


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release", "-DRILL_TESTS=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j2", "--target", "rillgeo", "gen_basin", "basin_lines",
                    "measure_run"], check=True, stdout=subprocess.DEVNULL)
    tools = os.path.join(build_dir, "bench", "basin")
    return (os.path.join(build_dir, "rillgeo", "rillgeo"), os.path.join(tools, "gen_basin"),
            os.path.join(tools, "basin_lines"), os.path.join(tools, "measure_run"))


def run(argv):
    if subprocess.run(argv, stdout=subprocess.DEVNULL).returncode != 0:
        sys.exit(f"{argv[0]} failed")


def timed(measure, argv):
    """Wall seconds and peak resident MB of one process, which must succeed."""
    done = subprocess.run([measure] + argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit(f"{argv[0]} ended with status {done.returncode}: {done.stderr}")
    wall, peak_kb = done.stdout.split()
    summary = done.stderr.strip().splitlines()[-1]
    return float(wall), int(peak_kb) / 1024, summary


def oswego_sites(path, count, seed):
    """Sites up to 250 m off random vertices of oswego's flowlines."""
    from osgeo import ogr
    dataset = ogr.Open(OSWEGO)  # held: the layer dies with it
    layer = dataset.GetLayer(0)
    vertices = []
    for feature in layer:
        lines = feature.GetGeometryRef().Clone()  # the feature's own is freed with it
        for i in range(lines.GetGeometryCount()):
            vertices.extend(lines.GetGeometryRef(i).GetPoints())
    rng = random.Random(seed)
    with open(path, "w") as out:
        out.write("id,lon,lat\n")
        for i in range(1, count + 1):
            x, y = rng.choice(vertices)[:2]
            out.write(f"o{i},{x + rng.uniform(-0.003, 0.003):.7f},{y + rng.uniform(-0.002, 0.002):.7f}\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0] if __doc__ else None)
    parser.add_argument("--points", type=int, default=600000, help="sites snapped on the generated basin (default 600000)")
    parser.add_argument("--reaches", type=int, default=1000000, help="flowlines of the generated basin (default 1000000)")
    parser.add_argument("--oswego-points", type=int, default=100000, help="sites snapped on oswego (default 100000)")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "index-bench"),
                        help="the basin, the sites and the outputs (default build/index-bench)")
    parser.add_argument("--build", help="the Release build folder (default: WORK/release)")
    args = parser.parse_args()
    rillgeo, gen_basin, basin_lines, measure = build(args.build or os.path.join(args.work, "release"))

    rows = []
    basin = os.path.join(args.work, f"basin{args.reaches}")
    gpkg = basin + ".gpkg"
    sites = os.path.join(args.work, f"sites{args.points}.csv")
    if not os.path.exists(gpkg) or not os.path.exists(sites):
        os.makedirs(basin, exist_ok=True)
        run([gen_basin, str(args.reaches), basin + "/"])
        for stale in (gpkg, sites):
            if os.path.exists(stale):
                os.remove(stale)
        run([basin_lines, basin + "/", gpkg, str(args.points), sites])
    tables = basin + "-tables"
    wall, peak, _ = timed(measure, [rillgeo, "import", gpkg, "--to", tables])
    rows.append((f"import of {args.reaches:,} flowlines (for reference)", wall, peak, ""))
    out = os.path.join(args.work, "basin-index.csv")
    wall, peak, summary = timed(measure, [rillgeo, "index", sites, "--geometry", gpkg, "--tables", tables,
                                          "--out", out])
    rows.append((f"index of {args.points:,} points on {args.reaches:,} flowlines", wall, peak, summary))

    oswego_tables = os.path.join(args.work, "oswego")
    run([rillgeo, "import", OSWEGO, "--to", oswego_tables])
    oswego_points = os.path.join(args.work, f"oswego{args.oswego_points}.csv")
    if not os.path.exists(oswego_points):
        oswego_sites(oswego_points, args.oswego_points, 17)
    wall, peak, summary = timed(measure, [rillgeo, "index", oswego_points, "--geometry", OSWEGO, "--tables",
                                          oswego_tables, "--out", os.path.join(args.work, "oswego-index.csv")])
    rows.append((f"index of {args.oswego_points:,} points on oswego (6,295 flowlines)", wall, peak, summary))

    print("| run | wall (s) | peak RSS (MB) | summary |")
    print("|---|---|---|---|")
    for name, wall, peak, summary in rows:
        print(f"| {name} | {wall:.2f} | {peak:.0f} | {summary} |")


if __name__ == "__main__":
    main()
