"""What FEATURES adds to a batch: the national mix with and without a site table.

Run with Debian's Python: python3 bench/features_bench.py [--build build/plain] [--reaches 3000000]
    [--requests 100000] [--sites 100000] [--repeat 2]
Uses rillmark, gen_basin and measure_run of an existing build folder, generates the
basin (cached under build/national/), writes 100,000 national-mix requests and a site
table of random reaches (one in five without a measure, the rest at a random measure
between 0 and 100) and prints one Markdown table: wall time and peak resident memory
of the batch on 2 threads without and with --features, and their ratio.
"""
import argparse
import os
import random
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import batch_bench  # noqa: E402
import national  # noqa: E402


def write_sites(path, folder, count, seed):
    rng = random.Random(seed)
    with open(os.path.join(folder, "rchdata.txt")) as rch:
        ids = [line.split(",", 1)[0] for line in rch]
    with open(path, "w") as out:
        out.write("Site,Com_id,Measure,Name\n")
        for i in range(1, count + 1):
            measure = "" if rng.random() < 0.2 else f"{rng.uniform(0, 100):.3f}"
            out.write(f"s{i},{rng.choice(ids)},{measure},site {i}\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(national.ROOT, "build", "plain"))
    parser.add_argument("--reaches", type=int, default=3000000)
    parser.add_argument("--requests", type=int, default=100000)
    parser.add_argument("--sites", type=int, default=100000)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--repeat", type=int, default=2)
    parser.add_argument("--work", default=os.path.join(national.ROOT, "build", "national"))
    args = parser.parse_args()
    exe = os.path.join(args.build, "navigator", "rillmark")
    tools = os.path.join(args.build, "bench", "basin")
    national.MEASURE = os.path.join(tools, "measure_run")
    folder = national.generated_basin(os.path.join(tools, "gen_basin"), args.reaches, args.work)
    size = sum(os.path.getsize(t) for t in national.tables(folder))
    requests = os.path.join(args.work, f"features_requests_{args.requests}.csv")
    batch_bench.write_national(requests, batch_bench.codes_of(folder), args.requests, 10)
    sites = os.path.join(args.work, f"features_sites_{args.sites}.csv")
    write_sites(sites, folder, args.sites, 11)
    out = os.path.join(args.work, "features_out.csv")
    base = [exe, "batch", requests, "--out", out, "--tables", folder, "--threads", str(args.threads), "--no-progress",
            "--quiet"]

    print(f"rillmark batch with and without FEATURES, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, "
          f"{os.cpu_count()} cores, {args.reaches:,} reaches ({size / 1e6:.0f} MB of tables), "
          f"{args.requests:,} national-mix requests, {args.threads} threads, best and median of {args.repeat}\n")
    print("| run | wall min (s) | wall median (s) | CPU median (s) | peak RSS (MB) | load average |")
    print("|---|---|---|---|---|---|")
    figures = []
    for label, argv in (("without --features", base),
                        (f"with --features ({args.sites:,} sites)", base + ["--features", sites])):
        lo, med, rss, cpu, load = national.repeated(argv, args.repeat)
        figures.append((lo, rss))
        print(f"| {label} | {lo:.2f} | {med:.2f} | {cpu:.2f} | {rss:.0f} | {load:.1f} |", flush=True)
    features = os.path.splitext(out)[0] + ".features.csv"
    passed = sum(1 for _ in open(features)) - 1
    print(f"\n{passed:,} sites passed in FEATURES. With FEATURES: wall {figures[1][0] / figures[0][0]:.3f} times, "
          f"peak memory {figures[1][1] / figures[0][1]:.3f} times the batch's without.")


if __name__ == "__main__":
    main()
