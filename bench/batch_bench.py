"""A batch of mixed requests on the 1,000,000-reach generated basin, as whole processes.

Run with Debian's Python: python3 bench/batch_bench.py [--requests 10000] [--reaches 1000000]
Builds a Release rillmark, generates the basin (cached beside the national benchmark's),
writes the requests (types 1 to 5 both ways, with and without limits, 2 % whole-network
upstream from random points) and prints one Markdown table: the load alone, the batch
on 1 and on 2 threads, with the peak resident memory against the size of the tables.
"""
import argparse
import os
import random
import resource
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import national  # noqa: E402  (build, the process launcher, the table paths)


def codes_of(folder):
    with open(os.path.join(folder, "rchdata.txt")) as rch:
        return [line.split(",", 2)[1] for line in rch]


def write_requests(path, codes, count, seed):
    rng = random.Random(seed)
    kinds = [(1, "U"), (1, "D"), (2, "D"), (3, "U"), (3, "D"), (4, "U"), (4, "D"), (5, "U"), (5, "D")]
    with open(path, "w") as out:
        out.write("Request,NavType,StartReach,StartMeasure,EndReach,EndMeasure,Direction,Distance,DistanceUnits\n")
        for i in range(1, count + 1):
            if rng.random() < 0.02:
                nav, direction = 2, "U"
            else:
                nav, direction = rng.choice(kinds)
            limit = f"{rng.choice([1, 5, 20, 100])}" if nav in (3, 4) else ""
            end = rng.choice(codes) if nav == 5 else ""
            out.write(f"q{i},{nav},{rng.choice(codes)},{rng.uniform(0, 100):.3f},{end},{rng.uniform(0, 100):.3f},"
                      f"{direction},{limit},MI\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--reaches", type=int, default=1000000)
    parser.add_argument("--requests", type=int, default=10000)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--work", default=os.path.join(national.ROOT, "build", "national"))
    args = parser.parse_args()
    exe, gen, _ = national.build(os.path.join(args.work, "release"))
    folder = os.path.join(args.work, f"basin_{args.reaches}")
    os.makedirs(folder, exist_ok=True)
    if not os.path.exists(os.path.join(folder, "ends.txt")):
        with open(os.path.join(folder, "ends.txt"), "w") as ends:
            subprocess.run([gen, str(args.reaches), folder + "/"], check=True, stdout=ends)
    size = sum(os.path.getsize(t) for t in national.tables(folder))
    requests = os.path.join(args.work, f"batch_{args.requests}.csv")
    write_requests(requests, codes_of(folder), args.requests, 10)
    load_only = os.path.join(args.work, "batch_load.csv")
    with open(load_only, "w") as out:
        out.write("Request,NavType,StartReach,Direction\nload,0,x,U\n")
    out_csv = os.path.join(args.work, "batch_out.csv")

    print(f"rillmark batch, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {os.cpu_count()} cores, "
          f"{args.reaches:,} reaches ({size / 1e6:.0f} MB of tables), best and median of {args.repeat}\n")
    print("| run | wall min (s) | wall median (s) | CPU per run (s) | peak RSS (MB) | peak / tables |")
    print("|---|---|---|---|---|---|")
    walls = {}
    for label, reqs, threads in (("load only (NavType 0, no dump)", load_only, 1),
                                 (f"{args.requests:,} mixed requests, 1 thread", requests, 1),
                                 (f"{args.requests:,} mixed requests, 2 threads", requests, 2)):
        argv = [exe, "batch", reqs, "--out", out_csv, "--tables", folder, "--threads", str(threads),
                "--no-progress"]
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        lo, med, rss = national.repeated(argv, args.repeat)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        # User and system time of the runs: what the machine's other load cannot inflate.
        cpu = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) / args.repeat
        walls[threads if reqs == requests else 0] = lo
        print(f"| {label} | {lo:.2f} | {med:.2f} | {cpu:.2f} | {rss:.0f} | {rss * 2**20 / size:.2f} |")
    rows = sum(1 for _ in open(out_csv)) - 1
    nav1, nav2 = walls[1] - walls[0], walls[2] - walls[0]
    print(f"\n{rows:,} result rows. Whole process: 2 threads {walls[1] / walls[2]:.2f} times as fast as 1; "
          f"the navigations alone (batch minus load): {nav1:.2f} s and {nav2:.2f} s, {nav1 / nav2:.2f} times.")


if __name__ == "__main__":
    main()
