"""A requests table navigated over a Dask cluster, with the outputs of one `rillmark batch`.

    python3 examples/dask_batch.py REQUESTS --tables FOLDER --out RESULTS [--scheduler ADDRESS] [--workers N] [--parts P]

The requests (a CSV table with the columns of `rillmark batch`) are cut into
parts in order; each worker loads the network of FOLDER once (a cache in the
worker process, keyed by folder) and navigates its parts with Network.batch.
The parts come back in request order and are written as RESULTS and STATUS
(RESULTS with .status.csv in place of its extension), in the batch's columns
and formats. Without --scheduler a local cluster of N worker processes
(default 2) is started on the loopback interface; with it, the cluster at
ADDRESS is used, whose workers must see FOLDER at the same path and import
rillmark.
"""
import argparse
import logging
import os
import sys

import pandas as pd


def network_of(folder):
    """This worker's Network of `folder`, loaded by the first part that needs it."""
    import rillmark
    from distributed import get_worker

    worker = get_worker()
    cache = getattr(worker, "rillmark_networks", None)
    if cache is None:
        cache = worker.rillmark_networks = {}
    if folder not in cache:
        # Two threads of one worker may both load it at first; one copy stays.
        cache[folder] = rillmark.Network(folder)
    return cache[folder]


def navigate_part(part, folder):
    return network_of(folder).batch(part, threads=1)


def quoted(text):
    return '"' + text.replace('"', '""') + '"'


def write_results(path, results):
    with open(path, "w", newline="\n") as out:
        out.write('"Request","Rch_code","Com_id","Rch_date","Duu_id","FromMeasure","ToMeasure","Distance",'
                  '"RchLength"\n')
        for r in results.itertuples(index=False):
            out.write(f'{quoted(r.Request)},"{r.Rch_code}",{r.Com_id:10d},"{r.Rch_date}",{r.Duu_id},'
                      f'{r.FromMeasure:10.3f},{r.ToMeasure:10.3f},{r.Distance:20.4f},{r.RchLength:10.4f}\n')


def write_status(path, status):
    with open(path, "w", newline="\n") as out:
        out.write('"Request","Status","ccode","Message"\n')
        for s in status.itertuples(index=False):
            ccode = quoted(s.ccode) if s.ccode else ""
            message = quoted(s.Message) if s.Message else ""
            out.write(f"{quoted(s.Request)},{s.Status},{ccode},{message}\n")


def parts_of(requests, count):
    size = max(1, -(-len(requests) // count))
    return [requests.iloc[i:i + size] for i in range(0, len(requests), size)] or [requests]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0].strip(),
                                     epilog="The outputs are the same bytes as those of one `rillmark batch "
                                     "REQUESTS --tables FOLDER --out RESULTS`.")
    parser.add_argument("requests", metavar="REQUESTS",
                        help="the CSV table of requests, with the columns of `rillmark batch` (Request, NavType, "
                        "StartReach or StartComid, Direction, ...)")
    parser.add_argument("--tables", required=True, metavar="FOLDER",
                        help="the folder of rchdata.txt, flowdata.txt and secdata.txt; with --scheduler every "
                        "worker must see it at the same path")
    parser.add_argument("--out", required=True, metavar="RESULTS",
                        help="the rows of every request; the status of each goes to RESULTS with .status.csv in "
                        "place of its extension")
    parser.add_argument("--scheduler", metavar="ADDRESS",
                        help="the scheduler of a running cluster, e.g. tcp://host:8786, whose workers import "
                        "rillmark (default: start a local cluster on the loopback interface)")
    parser.add_argument("--workers", type=int, default=2, metavar="N",
                        help="worker processes of the local cluster, one thread each (default 2; not used with "
                        "--scheduler)")
    parser.add_argument("--parts", type=int, default=0, metavar="P",
                        help="how many parts the requests are cut into, in order (default 4 per worker)")
    args = parser.parse_args()
    if args.workers < 1:
        parser.error("--workers must be at least 1")
    if args.parts < 0:
        parser.error("--parts must be 0 (4 per worker) or more")

    from distributed import Client, LocalCluster

    # Fields as the batch reads them: every value a string, an empty field empty.
    requests = pd.read_csv(args.requests, dtype=str, keep_default_na=False)
    folder = os.path.abspath(args.tables)
    if args.scheduler:
        client = Client(args.scheduler)
        cluster = None
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True, host="127.0.0.1",
                               dashboard_address=None, silence_logs=logging.ERROR)
        client = Client(cluster)
    try:
        workers = max(1, len(client.scheduler_info()["workers"]))
        parts = parts_of(requests, args.parts or 4 * workers)
        futures = client.map(navigate_part, parts, folder=folder, pure=False)
        answers = client.gather(futures)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    results = pd.concat([a[0] for a in answers], ignore_index=True)
    status = pd.concat([a[1] for a in answers], ignore_index=True)
    write_results(args.out, results)
    write_status(os.path.splitext(args.out)[0] + ".status.csv", status)
    print(f"{len(status)} requests, {len(results)} rows: {args.out}", file=sys.stderr)


if __name__ == "__main__":
    main()
