"""Whole runs of rillmark at national scale, against the I/O floor and a graph library.

Run with Debian's Python (it has python3-igraph): /usr/bin/python3 bench/national.py
Builds a Release rillmark, generates the basins (cached), runs every request as a
separate process and prints one Markdown table per network: wall time, CPU time
(user + system) and peak resident memory of each process, with the load average of
the machine when it started. From 10,000,000 reaches on (--sizes 10000000) only the
load alone (a batch of one NavType 0 request) and NavType 1 D from the far headwater
are run, and from 30,000,000 (--sizes 1000000,30000000: about 4 GB of tables, minutes
to generate) only the load alone, and with --mix 600000 a batch of 600,000 requests of the
national mix on 2 threads, load included; the load alone is run at every size, and the ratios
of its times between the sizes of one run close the output. Below 10,000,000 reaches
a batch of everything upstream of the outlet (no trace) is timed too, and set against
the graph library's upstream subcomponent of the same tables in the same run.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

MEASURE = None  # the launcher that times one process
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHARED = os.path.join(ROOT, "..", "shared", "data")


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release", "-DRILL_TESTS=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j2", "--target", "rillmark", "gen_basin", "io_floor",
                    "measure_run"], 
                   check=True, stdout=subprocess.DEVNULL)
    tools = os.path.join(build_dir, "bench", "basin")
    global MEASURE
    MEASURE = os.path.join(tools, "measure_run")
    return (os.path.join(build_dir, "navigator", "rillmark"), os.path.join(tools, "gen_basin"),
            os.path.join(tools, "io_floor"))


def generated_basin(gen, reaches, work):
    """The folder of the generated basin of `reaches` reaches under `work`, generated the first time."""
    folder = os.path.join(work, f"basin_{reaches}")
    os.makedirs(folder, exist_ok=True)
    if not os.path.exists(os.path.join(folder, "ends.txt")):
        with open(os.path.join(folder, "ends.txt"), "w") as ends:
            subprocess.run([gen, str(reaches), folder + "/"], check=True, stdout=ends)
    return folder


# Sizes from which only the load and one walk are run: their full logs take many gigabytes.
LARGE = 10000000
# Sizes from which only the load is run: a walk's log would take over 10 GB.
NATION = 30000000


def timed(argv):
    """Wall seconds, peak resident MB and CPU seconds of one process, which must succeed."""
    done = subprocess.run([MEASURE] + argv, stdout=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit(f"{argv[0]} ended with status {done.returncode}")
    wall, peak_kb, user, system = done.stdout.split()
    return float(wall), int(peak_kb) / 1024, float(user) + float(system)


def repeated(argv, times):
    """Best and median wall, peak memory, median CPU, and the load average before the first run."""
    load = os.getloadavg()[0]
    runs = [timed(argv) for _ in range(times)]
    walls = sorted(w for w, _, _ in runs)
    return (walls[0], statistics.median(walls), max(m for _, m, _ in runs), statistics.median(c for _, _, c in runs),
            load)


def load_alone(exe, folder, work, times):
    """A batch of one NavType 0 request: the tables loaded, no dump, nothing navigated."""
    requests = os.path.join(work, "batch_load.csv")
    with open(requests, "w") as out:
        out.write("Request,NavType,StartReach,Direction\nload,0,x,U\n")
    argv = [exe, "batch", requests, "--out", os.path.join(work, "batch_out.csv"), "--tables", folder, "--threads", "1",
            "--no-progress"]
    return repeated(argv, times)


def whole_basin(exe, folder, outlet, work, times):
    """A batch of one request, everything upstream of the outlet: load, walk, RESULTS written; no trace."""
    requests = os.path.join(work, "batch_whole.csv")
    with open(requests, "w") as out:
        out.write(f"Request,NavType,StartReach,Direction\nwhole,2,{outlet},U\n")
    results = os.path.join(work, "batch_whole_out.csv")
    argv = [exe, "batch", requests, "--out", results, "--tables", folder, "--threads", "1", "--no-progress"]
    best = repeated(argv, times)
    written = os.path.getsize(results)
    for name in (results, os.path.splitext(results)[0] + ".status.csv"):
        os.remove(name)
    return best, written


def national_mix(exe, folder, work, count):
    """A batch of `count` requests of the national mix on 2 threads, load included, RESULTS written."""
    import batch_bench  # the national mix; imported here, as it imports this module
    requests = os.path.join(work, f"batch_national_{count}.csv")
    if not os.path.exists(requests):
        with open(os.path.join(folder, "rchdata.txt")) as rch:
            codes = [line.split(",", 2)[1] for line in rch]
        batch_bench.write_national(requests, codes, count, 27)
        del codes
    results = os.path.join(work, "batch_national_out.csv")
    argv = [exe, "batch", requests, "--out", results, "--tables", folder, "--threads", "2", "--no-progress"]
    load = os.getloadavg()[0]
    wall, rss, cpu = timed(argv)
    written = os.path.getsize(results)
    for name in (results, os.path.splitext(results)[0] + ".status.csv"):
        os.remove(name)
    return wall, rss, cpu, load, written


def tables(folder):
    return [os.path.join(folder, n) for n in ("rchdata.txt", "flowdata.txt", "secdata.txt")]


def com_id_of(folder, code):
    with open(os.path.join(folder, "rchdata.txt")) as rch:
        for line in rch:
            fields = line.split(",")
            if fields[1] == code:
                return fields[0]
    sys.exit(f"no reach {code} in {folder}")


def largest_basin(folder):
    """The outlet of the largest basin of a real network, and its farthest headwater."""
    import igraph
    vertex, edges = {}, []
    with open(os.path.join(folder, "flowdata.txt")) as flow:
        for line in flow:
            f = line.split(",")
            up, down = (int(f[2]), int(f[1])) if f[4] == "710" else (int(f[1]), int(f[2]))
            if up and down:
                edges.append((vertex.setdefault(up, len(vertex)), vertex.setdefault(down, len(vertex))))
    g = igraph.Graph(n=len(vertex), edges=edges, directed=True)
    sinks = [v for v in range(g.vcount()) if g.outdegree(v) == 0]
    outlet = max(sinks, key=lambda v: len(g.subcomponent(v, mode="in")))
    depth = g.distances(source=[outlet], mode="in")[0]
    far = max((v for v in range(g.vcount()) if depth[v] != float("inf")), key=lambda v: depth[v])
    ids = list(vertex)
    codes = {}
    with open(os.path.join(folder, "rchdata.txt")) as rch:
        for line in rch:
            f = line.split(",")
            codes.setdefault(int(f[0]), f[1])
    return codes[ids[outlet]], codes[ids[far]]


def measure(name, folder, outlet, headwater, exe, floor, times, work, size=0, mix=0):
    runs = [
        ("0 (load and load dump)", f"0,{outlet},0,{outlet},0,U,0,MI,1"),
        ("2 U from the outlet", f"2,{outlet},0,{outlet},0,U,0,MI,1"),
        ("1 D from the far headwater", f"1,{headwater},100,{headwater},0,D,0,MI,1"),
        ("4 U from the outlet, 50 km", f"4,{outlet},0,{outlet},0,U,50000,M,1"),
        ("5 far headwater to outlet", f"5,{headwater},100,{outlet},0,D,0,MI,1"),
    ]
    if size >= LARGE:
        runs = [r for r in runs if r[0].startswith("1 D") and size < NATION]
    size_bytes = sum(os.path.getsize(t) for t in tables(folder))
    print(f"\n### {name}: {size_bytes / 1e6:.0f} MB of tables\n")
    print("| run | wall min (s) | wall median (s) | CPU median (s) | peak RSS (MB) | peak / tables | written (MB) "
          "| I/O floor (s) | ratio to floor | load average |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    lo, med, rss, cpu, load = load_alone(exe, folder, work, times)
    print(f"| load alone (batch, one NavType 0 request) | {lo:.2f} | {med:.2f} | {cpu:.2f} | {rss:.0f} "
          f"| {rss * 2**20 / size_bytes:.2f} | | | | {load:.1f} |", flush=True)
    loaded = lo
    whole = None
    if size < LARGE:
        (lo, med, rss, cpu, load), written = whole_basin(exe, folder, outlet, work, times)
        whole = (lo, cpu)
        print(f"| everything upstream of the outlet (batch, no trace) | {lo:.2f} | {med:.2f} | {cpu:.2f} | {rss:.0f} "
              f"| {rss * 2**20 / size_bytes:.2f} | {written / 1e6:.0f} | | | {load:.1f} |", flush=True)
    for label, request in runs:
        argv = [exe, f"{request},{folder}/,out.csv,./,0,0"]
        lo, med, rss, cpu, load = repeated(argv, times)
        written = sum(os.path.getsize(os.path.join(folder, n)) for n in ("message.out", "out.csv", "ccode.txt")
                      if os.path.exists(os.path.join(folder, n)))
        flo = repeated([floor, os.path.join(work, "floor.out"), str(written)] + tables(folder), times)[0]
        print(f"| {label} | {lo:.2f} | {med:.2f} | {cpu:.2f} | {rss:.0f} | {rss * 2**20 / size_bytes:.2f} "
              f"| {written / 1e6:.0f} | {flo:.2f} | {lo / flo:.1f} | {load:.1f} |", flush=True)
        for n in ("message.out", "out.csv", "ccode.txt"):
            p = os.path.join(folder, n)
            if os.path.exists(p):
                os.remove(p)
    if os.path.exists(os.path.join(work, "floor.out")):
        os.remove(os.path.join(work, "floor.out"))
    if size >= NATION and mix:
        wall, rss, cpu, load, written = national_mix(exe, folder, work, mix)
        print(f"| {mix:,} requests of the national mix (batch, 2 threads, load included) | {wall:.2f} | | {cpu:.2f} "
              f"| {rss:.0f} | {rss * 2**20 / size_bytes:.2f} | {written / 1e6:.0f} | | | {load:.1f} |", flush=True)
    if size >= LARGE:
        return loaded
    ref = [sys.executable, os.path.join(ROOT, "bench", "igraph_reference.py"), os.path.join(folder, "flowdata.txt"),
           com_id_of(folder, outlet), os.path.join(work, "igraph.out")]
    lo, med, rss, cpu, load = repeated(ref, times)
    print(f"| graph library (python3-igraph, upstream of the outlet) | {lo:.2f} | {med:.2f} | {cpu:.2f} | {rss:.0f} "
          f"| | | | | {load:.1f} |", flush=True)
    if whole:
        print(f"\nEverything upstream of the outlet through the batch: {whole[0] / lo:.2f} times the graph library's "
              f"best wall ({whole[0]:.2f} s against {lo:.2f} s), {whole[1] / cpu:.2f} times its CPU")
    return loaded


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--sizes", default="100000,1000000,3000000", help="reaches of each generated basin, by commas")
    parser.add_argument("--repeat", type=int, default=3, help="runs of each case, best and median shown (default 3)")
    parser.add_argument("--mix", type=int, default=0,
                        help="from 30,000,000 reaches on, also a batch of this many requests of the national mix "
                             "(600000 for the nation in memory), once")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "national"),
                        help="the Release build and the basins (default build/national)")
    args = parser.parse_args()
    exe, gen, floor = build(os.path.join(args.work, "release"))
    print(f"rillmark at national scale, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, "
          f"{os.cpu_count()} cores, best and median of {args.repeat}")
    loads = {}
    for size in (int(s) for s in args.sizes.split(",")):
        folder = os.path.join(args.work, f"basin_{size}")
        os.makedirs(folder, exist_ok=True)
        ends_file = os.path.join(folder, "ends.txt")
        if not os.path.exists(ends_file):
            with open(ends_file, "w") as ends:
                subprocess.run([gen, str(size), folder + "/"], check=True, stdout=ends)
        ends = dict(line.split() for line in open(ends_file))
        loads[size] = measure(f"{size:,} reaches", folder, ends["outlet"], ends["headwater"], exe, floor, args.repeat,
                              args.work, size, args.mix)
    sizes = sorted(loads)
    for small, large in zip(sizes, sizes[1:]):
        print(f"\nLoad alone, best wall: {large:,} reaches {loads[large] / loads[small]:.2f} times {small:,} "
              f"({large / small:.0f} times the reaches)")
    nets = [d for d in (os.listdir(SHARED) if os.path.isdir(SHARED) else [])
            if os.path.exists(os.path.join(SHARED, d, "rchdata.txt"))]
    if not nets:
        print(f"\n(no sample networks in {SHARED})")
        return
    real = max(nets, key=lambda d: os.path.getsize(os.path.join(SHARED, d, "rchdata.txt")))
    folder = os.path.join(args.work, "real_" + real)
    os.makedirs(folder, exist_ok=True)
    for t in ("rchdata.txt", "flowdata.txt", "secdata.txt"):
        with open(os.path.join(SHARED, real, t), "rb") as src, open(os.path.join(folder, t), "wb") as dst:
            dst.write(src.read())
    outlet, headwater = largest_basin(folder)
    measure(f"shared/data/{real} (largest basin)", folder, outlet, headwater, exe, floor, args.repeat, args.work)


if __name__ == "__main__":
    main()
