"""Batches of mixed requests on a generated basin, as whole processes.

Run with Debian's Python: python3 bench/batch_bench.py [--requests 10000] [--reaches 1000000]
Builds a Release rillmark, generates the basin (cached beside the national benchmark's),
writes the requests (types 1 to 5 both ways, with and without limits, 2 % whole-network
upstream from random points) and prints one Markdown table: the load alone, the batch
on 1 and on 2 threads, with wall time, CPU time (user + system), the peak resident
memory against the size of the tables and against the load's own, and the load
average of the machine before each run.

python3 bench/batch_bench.py --national runs the 3,000,000-reach basin with the
national mix (40 % NavType 4 U 50 km, 30 % NavType 3 D 100 km, 20 % NavType 1 U,
10 % NavType 4 D 25 km, from random reaches at random measures): 100,000 requests on
1 and 2 threads, 600,000 on 2 threads, and with --flat N a batch of N such requests
whose rows go to /dev/null, for its memory.
"""
import argparse
import os
import random
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import national  # noqa: E402  (build, the process launcher, the table paths)


def codes_of(folder):
    with open(os.path.join(folder, "rchdata.txt")) as rch:
        return [line.split(",", 2)[1] for line in rch]


HEADER = "Request,NavType,StartReach,StartMeasure,EndReach,EndMeasure,Direction,Distance,DistanceUnits\n"


def write_spread(path, codes, count, seed):
    rng = random.Random(seed)
    kinds = [(1, "U"), (1, "D"), (2, "D"), (3, "U"), (3, "D"), (4, "U"), (4, "D"), (5, "U"), (5, "D")]
    with open(path, "w") as out:
        out.write(HEADER)
        for i in range(1, count + 1):
            if rng.random() < 0.02:
                nav, direction = 2, "U"
            else:
                nav, direction = rng.choice(kinds)
            limit = f"{rng.choice([1, 5, 20, 100])}" if nav in (3, 4) else ""
            end = rng.choice(codes) if nav == 5 else ""
            out.write(f"q{i},{nav},{rng.choice(codes)},{rng.uniform(0, 100):.3f},{end},{rng.uniform(0, 100):.3f},"
                      f"{direction},{limit},MI\n")


def write_national(path, codes, count, seed):
    rng = random.Random(seed)
    with open(path, "w") as out:
        out.write(HEADER)
        for i in range(1, count + 1):
            u = rng.random()
            if u < 0.4:
                nav, direction, limit = 4, "U", "50000"
            elif u < 0.7:
                nav, direction, limit = 3, "D", "100000"
            elif u < 0.9:
                nav, direction, limit = 1, "U", ""
            else:
                nav, direction, limit = 4, "D", "25000"
            out.write(f"q{i},{nav},{rng.choice(codes)},{rng.uniform(0, 100):.3f},,,{direction},{limit},M\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--reaches", type=int, default=1000000, help="reaches of the generated basin (default 1000000)")
    parser.add_argument("--requests", type=int, default=10000, help="requests in the batch (default 10000)")
    parser.add_argument("--national", action="store_true", help="the 3,000,000-reach cases with the national mix")
    parser.add_argument("--flat", type=int, default=0, help="with --national: also N requests, rows to /dev/null")
    parser.add_argument("--repeat", type=int, default=3, help="runs of each case, best and median shown (default 3)")
    parser.add_argument("--work", default=os.path.join(national.ROOT, "build", "national"),
                        help="the Release build, the basins and the requests (default build/national)")
    args = parser.parse_args()
    if args.national:
        args.reaches = 3000000
    exe, gen, _ = national.build(os.path.join(args.work, "release"))
    folder = national.generated_basin(gen, args.reaches, args.work)
    size = sum(os.path.getsize(t) for t in national.tables(folder))
    codes = codes_of(folder)
    out_csv = os.path.join(args.work, "batch_out.csv")

    def requests_file(count, writer, name):
        path = os.path.join(args.work, f"batch_{name}_{count}.csv")
        writer(path, codes, count, 10)
        return path

    load_only = os.path.join(args.work, "batch_load.csv")
    with open(load_only, "w") as out:
        out.write("Request,NavType,StartReach,Direction\nload,0,x,U\n")
    # (label, requests file, threads, repeats, rows to /dev/null)
    cases = [("load only (NavType 0, no dump)", load_only, 1, args.repeat, False)]
    if args.national:
        hundred = requests_file(100000, write_national, "national")
        cases += [("100,000 mixed requests, 1 thread", hundred, 1, args.repeat, False),
                  ("100,000 mixed requests, 2 threads", hundred, 2, args.repeat, False),
                  ("600,000 mixed requests, 2 threads", requests_file(600000, write_national, "national"), 2, 1,
                   False)]
        if args.flat:
            cases.append((f"{args.flat:,} mixed requests, 2 threads, rows to /dev/null",
                          requests_file(args.flat, write_national, "national"), 2, 1, True))
    else:
        spread = requests_file(args.requests, write_spread, "spread")
        cases += [(f"{args.requests:,} mixed requests, 1 thread", spread, 1, args.repeat, False),
                  (f"{args.requests:,} mixed requests, 2 threads", spread, 2, args.repeat, False)]

    print(f"rillmark batch, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {os.cpu_count()} cores, "
          f"{args.reaches:,} reaches ({size / 1e6:.0f} MB of tables), best and median of {args.repeat} "
          f"(one run of the largest batches)\n")
    print("| run | wall min (s) | wall median (s) | CPU median (s) | peak RSS (MB) | peak / tables | peak / load "
          "| load average |")
    print("|---|---|---|---|---|---|---|---|")
    figures = {}
    load_peak = None
    for label, reqs, threads, repeat, discard in cases:
        out = "/dev/null" if discard else out_csv
        argv = [exe, "batch", reqs, "--out", out, "--status", out_csv + ".status.csv", "--tables", folder,
                "--threads", str(threads), "--no-progress"]
        lo, med, rss, cpu, load = national.repeated(argv, repeat)
        load_peak = load_peak or rss
        figures[label] = (lo, cpu)
        print(f"| {label} | {lo:.2f} | {med:.2f} | {cpu:.2f} | {rss:.0f} | {rss * 2**20 / size:.2f} "
              f"| {rss / load_peak:.2f} | {load:.1f} |", flush=True)
    rows = sum(1 for _ in open(out_csv)) - 1
    print(f"\n{rows:,} result rows in the last batch written to a file.")
    base = figures[cases[0][0]]
    one, two = figures[cases[1][0]], figures[cases[2][0]]
    nav1, nav2 = one[0] - base[0], two[0] - base[0]
    print(f"Navigations alone (batch minus load, best walls): 1 thread {nav1:.2f} s, 2 threads {nav2:.2f} s, "
          f"{nav1 / nav2:.2f} times; CPU over wall on 2 threads {(two[1] - base[1]) / nav2:.2f}. "
          f"Whole process: {one[0] / two[0]:.2f} times.")


if __name__ == "__main__":
    main()
