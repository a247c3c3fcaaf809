"""One engine for the batch command and the Python package: both as whole processes.

Run with Debian's Python: /usr/bin/python3 bench/engine_bench.py [--reaches 3000000] [--requests 100000]
Builds a Release rillmark and the module beside it (build/national/release), generates the
basin (cached), writes the national mix of requests (40 % NavType 4 U 50 km, 30 % NavType 3
D 100 km, 20 % NavType 1 U, 10 % NavType 4 D 25 km), then times as whole processes, each
with its peak resident memory:
1. `rillmark batch` of the requests on 2 threads, RESULTS and STATUS written;
2. a Python process that loads the network, reads the requests with pandas.read_csv and
   runs Network.batch on 2 threads (the frames it returns measured with memory_usage);
then the overhead of one Network.navigate call of about 100 rows over the same navigation
in C++ (bench/python_bench.py's measure). Prints Markdown tables.
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import batch_bench  # noqa: E402  (the national mix)
import national  # noqa: E402  (the build, the process launcher)
import python_bench  # noqa: E402  (the navigate overhead)

PYTHON = "/usr/bin/python3"

# The Python process: load, read the requests, batch; the frames' own bytes to a file.
PYTHON_BATCH = """
import sys
sys.path.insert(0, sys.argv[1])
import pandas as pd
import rillmark
network = rillmark.Network(sys.argv[2])
frame = pd.read_csv(sys.argv[3], dtype=str, keep_default_na=False)
results, status = network.batch(frame, threads=2)
with open(sys.argv[4], "w") as out:
    out.write(f"{len(results)} {results.memory_usage(deep=True).sum() + status.memory_usage(deep=True).sum()}")
"""


def median_of(runs):
    runs = sorted(runs)
    return runs[len(runs) // 2]


def whole_process(argv, repeat):
    """(best wall, median CPU, largest peak MB) of `repeat` runs, and the load average before them."""
    load = os.getloadavg()[0]
    runs = [national.timed(argv) for _ in range(repeat)]
    return min(w for w, _, _ in runs), median_of([c for _, _, c in runs]), max(m for _, m, _ in runs), load


def national_requests(gen, reaches, requests, work):
    """The generated basin's folder and the table of `requests` requests of the national mix on it."""
    folder = national.generated_basin(gen, reaches, work)
    path = os.path.join(work, f"engine_national_{requests}.csv")
    batch_bench.write_national(path, batch_bench.codes_of(folder), requests, 10)
    return folder, path


def process_table(rows, processes):
    """A Markdown table of whole processes: (label, (wall, cpu, peak, load)) each."""
    print(f"| process ({rows:,} rows) | wall best (s) | CPU median (s) | peak RSS (MB) | load average |")
    print("|---|---|---|---|---|")
    for label, (wall, cpu, peak, load) in processes:
        print(f"| {label} | {wall:.2f} | {cpu:.2f} | {peak:.0f} | {load:.1f} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--reaches", type=int, default=3000000, help="reaches of the generated basin")
    parser.add_argument("--requests", type=int, default=100000, help="requests of the national mix")
    parser.add_argument("--calls", type=int, default=20000, help="navigate calls per timing of the overhead")
    parser.add_argument("--repeat", type=int, default=3, help="runs of each process; best wall, median CPU")
    parser.add_argument("--package", help="the Python package's folder to time (default: the one built here)")
    parser.add_argument("--work", default=os.path.join(national.ROOT, "build", "national"),
                        help="where the builds, the basin and the outputs go")
    args = parser.parse_args()
    release = os.path.join(args.work, "release")
    exe, gen, _ = national.build(release)
    subprocess.run(["cmake", "--build", release, "-j2", "--target", "_rillmark"], check=True,
                   stdout=subprocess.DEVNULL)
    package = args.package or os.path.join(release, "python")

    folder, requests = national_requests(gen, args.reaches, args.requests, args.work)
    tables_mb = sum(os.path.getsize(t) for t in national.tables(folder)) / 1e6
    out = os.path.join(args.work, "engine_out.csv")
    frames_file = os.path.join(args.work, "engine_frames.txt")

    print(f"One engine, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {os.cpu_count()} cores, "
          f"{args.reaches:,} reaches ({tables_mb:.0f} MB of tables), {args.requests:,} requests of the national mix, "
          f"2 threads, {args.repeat} runs each\n")
    cli = whole_process([exe, "batch", requests, "--tables", folder, "--out", out, "--threads", "2",
                         "--no-progress"], args.repeat)
    py = whole_process([PYTHON, "-c", PYTHON_BATCH, package, folder, requests, frames_file], args.repeat)
    with open(frames_file) as f:
        rows, frame_bytes = (int(x) for x in f.read().split())
    process_table(rows, (("`rillmark batch` (load, navigations, files)", cli),
                         ("Python: load, `pandas.read_csv`, `Network.batch`", py)))
    print(f"\nPython against the batch command: CPU {py[1] / cli[1]:.2f} times; peak {py[2]:.0f} MB against "
          f"{cli[2]:.0f} MB plus the frames' {frame_bytes / 1e6:.0f} MB = {cli[2] + frame_bytes / 1e6:.0f} MB.\n")

    sys.path.insert(0, package)
    import rillmark

    python_bench.navigate_overhead(rillmark, exe, args.work, args.repeat, args.calls)


if __name__ == "__main__":
    main()
