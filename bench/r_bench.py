"""The R package against the programs: a batch as whole processes, and one rill_navigate call.

Run with Debian's Python: /usr/bin/python3 bench/r_bench.py [--reaches 3000000] [--requests 100000]
Builds a Release rillmark (build/national/release) and installs the R package into
build/national/r-lib (R CMD INSTALL with R's own flags, as users install it; --lib takes
a library that has it already), generates
the basin (cached) and the national mix of requests (bench/engine_bench.py's), then:
1. times as whole processes, each with its peak resident memory, `rillmark batch` of the
   requests on 2 threads (RESULTS and STATUS written) and an R process that loads the
   network, reads the requests with read.csv and runs rill_batch on 2 threads;
2. the overhead of one rill_navigate call of about 100 rows (bench/python_bench.py's
   navigation on oswego_rc) over the same navigation in C++, timed as `rillmark batch`
   of many copies of it on one thread, minus the load alone.
Prints Markdown tables; quote them with the load average they print.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import engine_bench  # noqa: E402  (whole processes timed)
import national  # noqa: E402  (the build, the basin, the process launcher)
import python_bench  # noqa: E402  (the navigation, the C++ per-call time)

# The launcher that times a process takes a path, not a name to look up.
RSCRIPT = shutil.which("Rscript") or "/usr/bin/Rscript"

# The R process of a batch: load, read the requests, rill_batch; the rows it made to a file.
R_BATCH = """
args <- commandArgs(TRUE)
library(rillmark, lib.loc = args[1])
net <- rill_network(args[2])
requests <- read.csv(args[3], colClasses = c(StartReach = "character", EndReach = "character"))
out <- rill_batch(net, requests, threads = 2)
writeLines(as.character(nrow(out$results)), args[4])
"""

# `count` rill_navigate calls, `repeat` times: the best CPU and wall seconds per call.
R_NAVIGATE = """
args <- commandArgs(TRUE)
library(rillmark, lib.loc = args[1])
net <- rill_network(args[2])
count <- as.integer(args[6])
call <- function() rill_navigate(net, "DD", start_reach = args[3], start_measure = as.numeric(args[4]), units = args[5])
rows <- nrow(call()$rows)
best <- c(Inf, Inf)
for (r in seq_len(as.integer(args[7]))) {
  t <- system.time(for (i in seq_len(count)) call())
  best <- pmin(best, c(t[["user.self"]] + t[["sys.self"]], t[["elapsed"]]) / count)
}
cat(rows, best, "\\n")
"""


def install_package(lib):
    os.makedirs(lib, exist_ok=True)
    subprocess.run(["R", "CMD", "INSTALL", "--no-test-load", "-l", lib, os.path.join(national.ROOT, "r")], check=True,
                   stdout=subprocess.DEVNULL, env=dict(os.environ, MAKEFLAGS="-j2"))


def navigate_overhead(lib, exe, work, repeat, count):
    folder = os.path.join(national.SHARED, "oswego_rc")
    n = python_bench.NAVIGATION
    out = os.path.join(work, "r_out.csv")
    batch = [exe, "batch", "--tables", folder, "--out", out, "--threads", "1", "--no-progress"]
    copies = python_bench.best_run(batch[:2] + [python_bench.copies_of_navigation(work, count)] + batch[2:], repeat)
    load = python_bench.best_run(batch[:2] + [python_bench.load_only(work)] + batch[2:], repeat)
    cpp_wall, cpp_cpu = ((c - l) / count for c, l in zip(copies, load))
    loadavg = os.getloadavg()[0]
    done = subprocess.run([RSCRIPT, "-e", R_NAVIGATE, lib, folder, n["start_reach"], str(n["start_measure"]),
                           n["units"], str(count), str(repeat)], check=True, capture_output=True, text=True)
    rows, r_cpu, r_wall = done.stdout.split()
    print(f"### rill_navigate: {rows} rows (oswego_rc, {n['mode']} from {n['start_reach']}), best of {repeat} "
          f"runs of {count:,} calls, load average {loadavg:.1f}\n")
    print("| call | wall µs per call | CPU µs per call | CPU over C++ (µs) |")
    print("|---|---|---|---|")
    print(f"| C++: `rillmark batch` of {count:,} copies, 1 thread, minus the load | {cpp_wall * 1e6:.1f} | "
          f"{cpp_cpu * 1e6:.1f} | |")
    print(f"| `rill_navigate` (rows data frame made) | {float(r_wall) * 1e6:.1f} | {float(r_cpu) * 1e6:.1f} | "
          f"{(float(r_cpu) - cpp_cpu) * 1e6:+.1f} |\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--reaches", type=int, default=3000000, help="reaches of the generated basin")
    parser.add_argument("--requests", type=int, default=100000, help="requests of the national mix")
    parser.add_argument("--calls", type=int, default=20000, help="rill_navigate calls per timing of the overhead")
    parser.add_argument("--repeat", type=int, default=3, help="runs of each process; best wall, median CPU")
    parser.add_argument("--lib", help="an R library where rillmark is installed already (scripts/r-check.sh "
                        "leaves one in BUILD/r-check/rillmark.Rcheck); default: install it into WORK/r-lib")
    parser.add_argument("--work", default=os.path.join(national.ROOT, "build", "national"),
                        help="where the builds, the basin and the outputs go")
    args = parser.parse_args()
    exe, gen, _ = national.build(os.path.join(args.work, "release"))
    lib = args.lib
    if lib is None:
        lib = os.path.join(args.work, "r-lib")
        install_package(lib)

    folder, requests = engine_bench.national_requests(gen, args.reaches, args.requests, args.work)
    out = os.path.join(args.work, "engine_out.csv")
    rows_file = os.path.join(args.work, "r_rows.txt")

    print(f"R package, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {os.cpu_count()} cores, "
          f"{args.reaches:,} reaches, {args.requests:,} requests of the national mix, 2 threads, "
          f"{args.repeat} runs each\n")
    cli = engine_bench.whole_process([exe, "batch", requests, "--tables", folder, "--out", out, "--threads", "2",
                                      "--no-progress"], args.repeat)
    r = engine_bench.whole_process([RSCRIPT, "-e", R_BATCH, lib, folder, requests, rows_file], args.repeat)
    with open(rows_file) as f:
        rows = int(f.read())
    engine_bench.process_table(rows, (("`rillmark batch` (load, navigations, files)", cli),
                                      ("R: load, `read.csv`, `rill_batch`", r)))
    print(f"\nR against the batch command: CPU {r[1] / cli[1]:.2f} times.\n")
    navigate_overhead(lib, exe, args.work, args.repeat, args.calls)


if __name__ == "__main__":
    main()
