"""The Python package against the programs: the overhead of one navigate call, and a batch.

Run with Debian's Python: /usr/bin/python3 bench/python_bench.py [--requests 10000] [--reaches 1000000]
Builds a Release rillmark and the module beside it (build/national/release), then:
1. navigate overhead: one navigation of about 100 rows on a shared network (oswego_rc),
   Network.navigate per call (rows frame included) against the same navigation in C++,
   timed as `rillmark batch` of many copies of it on one thread, minus the load alone;
2. Network.batch of the mixed requests of bench/batch_bench.py on the generated basin
   against `rillmark batch` of the same table, both on 2 threads.
Prints Markdown tables.
"""
import argparse
import os
import resource
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import batch_bench  # noqa: E402  (the mixed requests)
import national  # noqa: E402  (the build, the process launcher)

NAVIGATION = dict(mode="DD", start_reach="04140201000064", start_measure=40, units="MI")


def cpu_now():
    return time.process_time()


def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def best_run(argv, repeat):
    """Best wall and best CPU (user + system) seconds of `repeat` whole processes."""
    walls, cpus = [], []
    for _ in range(repeat):
        cpu, started = children_cpu(), time.perf_counter()
        subprocess.run(argv, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        walls.append(time.perf_counter() - started)
        cpus.append(children_cpu() - cpu)
    return min(walls), min(cpus)


def best_call(call, repeat, count=1):
    """Best wall and best CPU seconds per call of `repeat` runs of `count` calls here."""
    walls, cpus = [], []
    for _ in range(repeat):
        cpu, started = cpu_now(), time.perf_counter()
        for _ in range(count):
            call()
        walls.append((time.perf_counter() - started) / count)
        cpus.append((cpu_now() - cpu) / count)
    return min(walls), min(cpus)


def load_only(work):
    path = os.path.join(work, "python_load.csv")
    with open(path, "w") as out:
        out.write("Request,NavType,StartReach,Direction\nload,0,x,U\n")
    return path


def copies_of_navigation(work, count):
    """The request of NAVIGATION `count` times, as a batch's requests table."""
    path = os.path.join(work, f"python_copies_{count}.csv")
    n = NAVIGATION
    with open(path, "w") as out:
        out.write("Request,NavType,StartReach,StartMeasure,Direction,DistanceUnits\n")
        for i in range(count):
            out.write(f"c{i},2,{n['start_reach']},{n['start_measure']},D,{n['units']}\n")
    return path


def navigate_overhead(rillmark, exe, work, repeat, count):
    folder = os.path.join(national.SHARED, "oswego_rc")
    network = rillmark.Network(folder)
    rows = len(network.navigate(**NAVIGATION).rows)
    out = os.path.join(work, "python_out.csv")
    batch = [exe, "batch", "--tables", folder, "--out", out, "--threads", "1", "--no-progress"]
    copies = best_run(batch[:2] + [copies_of_navigation(work, count)] + batch[2:], repeat)
    load = best_run(batch[:2] + [load_only(work)] + batch[2:], repeat)
    cpp = [(c - l) / count for c, l in zip(copies, load)]
    n = NAVIGATION
    arguments = [network._tables, n["mode"], None, n["start_reach"], None, n["start_measure"], None, 0.0, n["units"],
                 None, None, 0.0, False, 0, False]
    try:  # a package that places sites takes them and their rule last
        rillmark._rillmark.navigate(*arguments, None, "exact")
        arguments += [None, "exact"]
    except TypeError:
        pass
    calls = {
        "Network.navigate (rows frame made)": best_call(lambda: network.navigate(**n), repeat, count),
        "the extension's call alone (blocks, no frame)": best_call(
            lambda: rillmark._rillmark.navigate(*arguments), repeat, count),
    }
    print(f"### navigate: {rows} rows (oswego_rc, {n['mode']} from {n['start_reach']}), best of {repeat} "
          f"runs of {count:,} calls\n")
    print("| call | wall µs per call | CPU µs per call | CPU over C++ (µs) |")
    print("|---|---|---|---|")
    print(f"| C++: `rillmark batch` of {count:,} copies, 1 thread, minus the load | {cpp[0] * 1e6:.1f} | "
          f"{cpp[1] * 1e6:.1f} | |")
    for label, (wall, cpu) in calls.items():
        print(f"| {label} | {wall * 1e6:.1f} | {cpu * 1e6:.1f} | {(cpu - cpp[1]) * 1e6:+.1f} |")
    print()


def batch_against_cli(rillmark, exe, gen, work, reaches, requests, repeat):
    import pandas as pd

    folder = national.generated_basin(gen, reaches, work)
    table = os.path.join(work, f"batch_{requests}.csv")
    batch_bench.write_requests(table, batch_bench.codes_of(folder), requests, 10)
    out = os.path.join(work, "python_batch_out.csv")
    argv = [exe, "batch", table, "--tables", folder, "--out", out, "--threads", "2", "--no-progress"]
    whole = best_run(argv, repeat)
    load = best_run([exe, "batch", load_only(work), "--tables", folder, "--out", out, "--no-progress"], repeat)
    cpu, started = cpu_now(), time.perf_counter()
    network = rillmark.Network(folder)
    loaded = time.perf_counter() - started, cpu_now() - cpu
    frame = pd.read_csv(table, dtype=str, keep_default_na=False)
    answers = []
    batch = best_call(lambda: answers.append(len(network.batch(frame, threads=2)[0])), repeat)
    navigations = [w - l for w, l in zip(whole, load)]
    print(f"### batch: {requests:,} mixed requests on {reaches:,} reaches, {answers[0]:,} rows, "
          f"2 threads, best of {repeat}\n")
    print("| run | wall (s) | CPU (s) |")
    print("|---|---|---|")
    for label, (wall, cpu) in (("`rillmark batch`, whole process", whole),
                               ("`rillmark batch` of one NavType 0 request (the load)", load),
                               ("`rillmark batch`, the navigations (whole minus load)", navigations),
                               ("`rillmark.Network(folder)` (the load, once)", loaded),
                               ("`Network.batch(frame, threads=2)` (frames made)", batch)):
        print(f"| {label} | {wall:.2f} | {cpu:.2f} |")
    print(f"\nNetwork.batch against the batch's navigations: wall {batch[0] / navigations[0]:.2f}, "
          f"CPU {batch[1] / navigations[1]:.2f}; load and batch against the whole process: wall "
          f"{(loaded[0] + batch[0]) / whole[0]:.2f}, CPU {(loaded[1] + batch[1]) / whole[1]:.2f}.")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--reaches", type=int, default=1000000, help="reaches of the generated basin (default 1000000)")
    parser.add_argument("--requests", type=int, default=10000, help="requests of the batch timed (default 10000)")
    parser.add_argument("--calls", type=int, default=20000, help="Network.navigate calls timed (default 20000)")
    parser.add_argument("--repeat", type=int, default=3, help="runs of each case, best shown (default 3)")
    parser.add_argument("--work", default=os.path.join(national.ROOT, "build", "national"),
                        help="the Release build and the basins (default build/national)")
    args = parser.parse_args()
    release = os.path.join(args.work, "release")
    exe, gen, _ = national.build(release)
    subprocess.run(["cmake", "--build", release, "-j2", "--target", "_rillmark"], check=True,
                   stdout=subprocess.DEVNULL)
    sys.path.insert(0, os.path.join(release, "python"))
    import rillmark

    print(f"Python package, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {os.cpu_count()} cores, "
          f"load average {os.getloadavg()[0]:.1f}\n")
    navigate_overhead(rillmark, exe, args.work, args.repeat, args.calls)
    batch_against_cli(rillmark, exe, gen, args.work, args.reaches, args.requests, args.repeat)


if __name__ == "__main__":
    main()
