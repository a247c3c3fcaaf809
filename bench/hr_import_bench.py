"""rillgeo import of a generated network in the split High Resolution layout, as whole processes.

Run with Debian's Python (it has GDAL's bindings): /usr/bin/python3 bench/hr_import_bench.py
[--reaches 1000000] [--work FOLDER] [--build FOLDER]
Builds a Release rillgeo and the basin tools, generates the basin with gen_basin, lays its
reaches out as flowlines with basin_lines (one GeoPackage layer with every column), then writes
them as a High Resolution geodatabase does: a line layer NHDFlowline (NHDPlusID, FDate,
LengthKM, ReachCode, FType) and a table NHDPlusFlowlineVAA (NHDPlusID, StreamLeve, FromNode,
ToNode, HydroSeq, LevelPathI, StartFlag, FromMeas, ToMeas) in hydrosequence order, every id a
14-digit real. Times rillgeo import of the geodatabase with
measure_run (wall time, peak resident memory, CPU) against the import of the same rows in one
GeoPackage layer, and checks that both give the same bytes. Prints one Markdown table.
"""
import argparse
import filecmp
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from index_bench import build, run  # noqa: E402  (the Release rillgeo and basin tools, a checked run)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHIFT = 10000200000000  # High Resolution ids: 14 digits, none fits 32 bits


def timed(measure, argv):
    """Wall seconds, peak resident MB, user and system CPU seconds of one process, and its closing line."""
    done = subprocess.run([measure] + argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit(f"{argv[0]} ended with status {done.returncode}: {done.stderr}")
    wall, peak_kb, user, system = done.stdout.split()
    return float(wall), int(peak_kb) / 1024, float(user), float(system)


def shifted(column):
    return f"CAST({column} + {SHIFT} AS REAL)"


LINES = (f"geom, {shifted('COMID')} AS NHDPlusID, FDATE AS FDate, LENGTHKM AS LengthKM, REACHCODE AS ReachCode, "
         "FTYPE AS FType")
ATTRIBUTES = (f"StreamLeve, {shifted('FromNode')} AS FromNode, {shifted('ToNode')} AS ToNode, "
              f"{shifted('Hydroseq')} AS HydroSeq, {shifted('LevelPathI')} AS LevelPathI, StartFlag, FromMeas, "
              "ToMeas")


def write_sources(gpkg, gdb, joined):
    """The one-layer flowlines split into a line layer and a value-added table, ids as 14-digit reals; and
    the same rows in one GeoPackage layer, the reference the tables must equal."""
    from osgeo import gdal
    gdal.UseExceptions()
    gdal.VectorTranslate(gdb, gpkg, format="OpenFileGDB", layerName="NHDFlowline",
                         SQLStatement=f"SELECT {LINES} FROM NHDFlowline_Network")
    gdal.VectorTranslate(gdb, gpkg, format="OpenFileGDB", layerName="NHDPlusFlowlineVAA", accessMode="update",
                         geometryType="NONE",
                         SQLStatement=f"SELECT {shifted('COMID')} AS NHDPlusID, {ATTRIBUTES} FROM NHDFlowline_Network "
                                      "ORDER BY Hydroseq")
    gdal.VectorTranslate(joined, gpkg, format="GPKG", layerName="flowlines",
                         SQLStatement=f"SELECT {LINES}, {ATTRIBUTES} FROM NHDFlowline_Network")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--reaches", type=int, default=1000000)
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "hr-import-bench"))
    parser.add_argument("--build", help="the Release build folder (default: WORK/release)")
    args = parser.parse_args()
    rillgeo, gen_basin, basin_lines, measure = build(args.build or os.path.join(args.work, "release"))

    basin = os.path.join(args.work, f"basin{args.reaches}")
    gpkg = basin + ".gpkg"
    gdb = basin + ".gdb"
    joined = basin + "-hr.gpkg"
    if not os.path.exists(gpkg):
        os.makedirs(basin, exist_ok=True)
        run([gen_basin, str(args.reaches), basin + "/"])
        run([basin_lines, basin + "/", gpkg, "1", os.path.join(args.work, "unused-sites.csv")])
    if not os.path.exists(gdb) or not os.path.exists(joined):
        shutil.rmtree(gdb, ignore_errors=True)
        if os.path.exists(joined):
            os.remove(joined)
        write_sources(gpkg, gdb, joined)

    rows = []
    tables = {}
    for name, source in (("High Resolution geodatabase (NHDFlowline + NHDPlusFlowlineVAA)", gdb),
                         ("the same rows in one GeoPackage layer (for reference)", joined)):
        out = source + "-tables"
        shutil.rmtree(out, ignore_errors=True)
        rows.append((name,) + timed(measure, [rillgeo, "import", source, "--to", out]))
        tables[source] = out
    same = all(filecmp.cmp(os.path.join(tables[gdb], t), os.path.join(tables[joined], t), shallow=False)
               for t in ("rchdata.txt", "flowdata.txt", "secdata.txt", "idmap.csv"))

    print(f"| import of {args.reaches:,} flowlines | wall (s) | peak RSS (MB) | user (s) | system (s) |")
    print("|---|---|---|---|---|")
    for name, wall, peak, user, system in rows:
        print(f"| {name} | {wall:.2f} | {peak:.0f} | {user:.2f} | {system:.2f} |")
    print(f"\nSame three tables from both: {'yes' if same else 'NO'}")


if __name__ == "__main__":
    main()
