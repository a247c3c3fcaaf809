"""rillgeo serve under load: 8 clients at once over loopback, bounded in time.

Run: python3 bench/serve_bench.py [--rillgeo EXE] [--seconds 30] [--clients 8] [--basin FOLDER-PREFIX]
Starts `rillgeo serve` on oswego (../shared/data) and, when --basin names a generated basin
(PREFIX.gpkg and PREFIX-tables/, as bench/index_bench.py makes them with gen_basin,
basin_lines and rillgeo import), on that basin too. Against each it runs --clients client
processes, each with one kept-alive connection, for --seconds: first downstream main path
10 km with geometry alone (the target: 500 requests/s, 99th percentile under 50 ms on
oswego), then the mix of downstream main 10 km with geometry, upstream with tributaries
50 km with geometry and position snaps, in equal parts, from random flowlines. Every
answer must be 200. Prints one Markdown table: requests, errors, requests/s, the 50th and
99th percentile latency per kind, the service's peak resident memory.
"""
import argparse
import http.client
import multiprocessing
import os
import random
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OSWEGO = os.path.join(ROOT, "..", "shared", "data", "oswego")

KINDS = {
    "DM 10 km": "/linked-data/comid/{id}/navigation/DM/flowlines?f=json&distance=10",
    "UT 50 km": "/linked-data/comid/{id}/navigation/UT/flowlines?f=json&distance=50",
    "position": "/linked-data/comid/position?f=json&coords=POINT%28{lon}%20{lat}%29",
}


def comids(tables, count, seed):
    """Random public flowline ids of a table folder (through idmap.csv where there is one)."""
    ids = []
    with open(os.path.join(tables, "rchdata.txt")) as rch:
        for line in rch:
            field = line.split(",", 1)[0].strip()
            if field.isdigit():
                ids.append(field)
    mapped = os.path.join(tables, "idmap.csv")
    if os.path.exists(mapped):
        with open(mapped) as f:
            header = f.readline().strip().split(",")
            pairs = {}
            for line in f:
                values = dict(zip(header, line.strip().split(",")))
                if values.get("Kind", "comid").lower().startswith("com"):
                    pairs[values.get("TableId")] = values.get("SourceId")
        ids = [pairs.get(i, i) for i in ids]
    return random.Random(seed).sample(ids, min(count, len(ids)))


def positions(port, ids):
    """A point in the middle of each flowline, as the service draws it."""
    connection = http.client.HTTPConnection("127.0.0.1", port)
    points = []
    import json
    for comid in ids:
        connection.request("GET", f"/linked-data/comid/{comid}")
        answer = connection.getresponse()
        body = answer.read()
        if answer.status != 200:
            continue
        geometry = json.loads(body)["features"][0]["geometry"]
        line = geometry["coordinates"] if geometry["type"] == "LineString" else geometry["coordinates"][0]
        lon, lat = line[len(line) // 2][:2]
        points.append((f"{lon:.7f}", f"{lat:.7f}"))
    return points


def client(port, kinds, ids, points, seconds, seed, out):
    rng = random.Random(seed)
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
    timings = []
    errors = 0
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        kind = rng.choice(kinds)
        lon, lat = rng.choice(points)
        path = KINDS[kind].format(id=rng.choice(ids), lon=lon, lat=lat)
        started = time.perf_counter()
        try:
            connection.request("GET", path)
            answer = connection.getresponse()
            answer.read()
            ok = answer.status == 200
        except (OSError, http.client.HTTPException):
            ok = False
            connection = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
        timings.append((kind, time.perf_counter() - started))
        errors += 0 if ok else 1
    out.put((timings, errors))


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(p / 100.0 * len(values)))] * 1000.0 if values else float("nan")


def load(port, kinds, ids, points, seconds, clients):
    out = multiprocessing.Queue()
    workers = [multiprocessing.Process(target=client, args=(port, kinds, ids, points, seconds, 100 + c, out))
               for c in range(clients)]
    for w in workers:
        w.start()
    results = [out.get() for _ in workers]
    for w in workers:
        w.join()
    timings = [t for r in results for t in r[0]]
    errors = sum(r[1] for r in results)
    return timings, errors


def peak_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def serve(rillgeo, tables, geometry, port):
    process = subprocess.Popen([rillgeo, "serve", "--tables", tables, "--geometry", geometry, "--port", str(port)],
                               stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
    started = time.monotonic()
    for line in process.stderr:
        if "listening on" in line:
            return process, time.monotonic() - started
    sys.exit(f"rillgeo serve did not start on {tables}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rillgeo", default=os.path.join(ROOT, "build", "serve", "rillgeo", "rillgeo"))
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("--clients", type=int, default=8)
    parser.add_argument("--basin", help="PREFIX of a generated basin: PREFIX.gpkg and PREFIX-tables/")
    parser.add_argument("--port", type=int, default=18190)
    args = parser.parse_args()

    networks = [("oswego", OSWEGO, os.path.join(OSWEGO, "raw", "flowlines.gpkg"))]
    if args.basin:
        networks.append((os.path.basename(args.basin), args.basin + "-tables", args.basin + ".gpkg"))
    print(f"{time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {os.cpu_count()} cores, load average "
          f"{os.getloadavg()[0]:.2f} at start; {args.clients} clients for {args.seconds:g} s per run")
    print()
    print("| network | run | kind | requests | errors | requests/s | p50 (ms) | p99 (ms) |")
    print("|---|---|---|---:|---:|---:|---:|---:|")
    for name, tables, geometry in networks:
        process, startup = serve(args.rillgeo, tables, geometry, args.port)
        try:
            ids = comids(tables, 2000, 7)
            points = positions(args.port, ids[:300])
            for run, kinds in (("DM 10 km alone", ["DM 10 km"]), ("mixed", list(KINDS))):
                timings, errors = load(args.port, kinds, ids, points, args.seconds, args.clients)
                rate = len(timings) / args.seconds
                all_times = [t for _, t in timings]
                print(f"| {name} | {run} | all | {len(timings):,} | {errors} | {rate:,.0f} | "
                      f"{percentile(all_times, 50):.1f} | {percentile(all_times, 99):.1f} |")
                if len(kinds) > 1:
                    for kind in kinds:
                        mine = [t for k, t in timings if k == kind]
                        print(f"| {name} | {run} | {kind} | {len(mine):,} | | {len(mine) / args.seconds:,.0f} | "
                              f"{percentile(mine, 50):.1f} | {percentile(mine, 99):.1f} |")
            print(f"| {name} | service | started in {startup:.1f} s, peak resident {peak_mb(process.pid):,.0f} MB, "
                  f"load average {os.getloadavg()[0]:.2f} at the end | | | | | |")
        finally:
            process.terminate()
            process.wait()


if __name__ == "__main__":
    main()
