"""FEATURES against the rule computed independently from RESULTS and the site table.

For each network of ../shared/data: random requests and a random site table
(sites with and without a measure, at section ends, and rows that cannot be
placed), one batch on 1 thread, one on 3 threads and one in 2 shards joined by
merge-shards.sh for each rule; FEATURES must be the same bytes each time and
equal what this script derives from RESULTS and the site table alone.
"""
import csv
import os
import random
import subprocess
import sys
import tempfile

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
RILLMARK = os.environ.get("RILL_RILLMARK_EXE", os.path.join(SOURCE, "build", "plain", "navigator", "rillmark"))
SHARED = os.path.join(SOURCE, "..", "shared", "data")
NETWORKS = ["oswego", "oswego_rc", "smallnets", "haw_hr", "haw_hr_rc", "coastal_ca"]


def read_tables(folder):
    reaches = {}
    with open(os.path.join(folder, "rchdata.txt"), newline="") as f:
        for r in csv.reader(f):
            if len(r) >= 6 and r[0].strip().lstrip("-").isdigit():
                reaches.setdefault(int(r[0]), r[1])
    ranges = {}
    with open(os.path.join(folder, "secdata.txt"), newline="") as f:
        for r in csv.reader(f):
            if len(r) < 6:
                continue
            c, a, b = int(r[4]), float(r[0]), float(r[1])
            lo, hi = ranges.get(c, (min(a, b), max(a, b)))
            ranges[c] = (min(lo, a, b), max(hi, a, b))
    return reaches, ranges


def make_sites(rng, reaches, ranges, count):
    ids = list(reaches)
    rows = []
    for k in range(count):
        c = rng.choice(ids)
        lo, hi = ranges.get(c, (0.0, 100.0))
        kind = rng.random()
        if kind < 0.15:
            m = ""
        elif kind < 0.3:
            m = repr(rng.choice([lo, hi]))
        else:
            m = "%.*f" % (rng.choice([1, 3, 5]), rng.uniform(lo, hi))
        rows.append(["S%d" % k, str(c), m, "note %d" % (k % 7), "%.2f" % rng.uniform(0, 50)])
    rows.append(["bad1", "999999999", "1", "x", "0"])  # not a reach
    rows.append(["bad2", str(ids[0]), "abc", "x", "0"])  # not a number
    rows.append(["", str(ids[0]), "", "x", "0"])  # no id
    rows.append(["bad3", str(ids[0]), "1e9", "x", "0"])  # outside the sections
    rng.shuffle(rows)
    return rows


def make_requests(rng, reaches, count):
    ids = list(reaches)
    rows = []
    for k in range(count):
        nav = rng.choice([1, 2, 3, 4, 3, 4, 5])
        start, end = rng.choice(ids), rng.choice(ids)
        rows.append(["R%d" % k, str(nav), str(start), "%.2f" % rng.uniform(0, 100),
                     str(end) if nav == 5 else "", "%.2f" % rng.uniform(0, 100) if nav == 5 else "",
                     rng.choice("UD"), "%.1f" % rng.uniform(0.5, 40) if nav in (3, 4) else "",
                     rng.choice(["KM", "MI", "M"]), rng.choice(["0", "1"])])
    return rows


def expected(results, sites, reaches, ranges, match):
    """The rule, from RESULTS and the site table alone."""
    placed = []
    for order, (sid, c, m, *_rest) in enumerate(sites):
        if not sid or int(c) not in reaches:
            continue
        if m != "":
            try:
                v = float(m)
            except ValueError:
                continue
            lo, hi = ranges.get(int(c), (None, None))
            if lo is None or not lo <= v <= hi:
                continue
            placed.append((order, int(c), v, m))
        else:
            placed.append((order, int(c), None, m))
    by_reach = {}
    for p in placed:
        by_reach.setdefault(p[1], []).append(p)
    out = []
    for req, rows in results:
        found = {}
        for i, (code, c, f, t, d, l) in enumerate(rows):
            for order, sc, v, mtext in by_reach.get(c, []):
                if order in found:
                    continue
                if match == "exact" and v is not None:
                    # The site's measure read to the printed digits; one that
                    # only its rounding puts on the row stands at the row's end.
                    if not min(f, t) <= float("%.3f" % v) <= max(f, t):
                        continue
                    w = min(max(v, min(f, t)), max(f, t))
                    dist = d - l * abs(t - w) / abs(t - f) if f != t else d
                else:
                    dist = d - l
                if -0.00005 < dist < 0:
                    dist = 0.0
                found[order] = (float("%.4f" % dist), i, order, c, code, mtext, dist)
        for key in sorted(found.values()):
            _, _, order, c, code, mtext, dist = key
            s = sites[order]
            out.append('"%s","%s",%d,"%s",%s,%20.4f,"%s","%s"\n' % (req, s[0], c, code, mtext, dist, s[3], s[4]))
    return '"Request","Feature","Com_id","Rch_code","Measure","Distance","Note","SiteDistance"\n' + "".join(out)


def read_results(path):
    results = []
    with open(path, newline="") as f:
        reader = csv.reader(f)
        next(reader)
        for r in reader:
            row = (r[1], int(r[2]), float(r[5]), float(r[6]), float(r[7]), float(r[8]))
            if not results or results[-1][0] != r[0]:
                results.append((r[0], []))
            results[-1][1].append(row)
    return results


def check(network, rng, work):
    folder = os.path.join(SHARED, network)
    reaches, ranges = read_tables(folder)
    sites = make_sites(rng, reaches, ranges, 400)
    requests = make_requests(rng, reaches, 150)
    spath, rpath = os.path.join(work, "sites.csv"), os.path.join(work, "requests.csv")
    with open(spath, "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["Feature", "Com_id", "Measure", "Note", "Distance"])
        w.writerows(sites)
    with open(rpath, "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["Request", "NavType", "StartComid", "StartMeasure", "EndComid", "EndMeasure", "Direction",
                    "Distance", "DistanceUnits", "WholeReachStartMode"])
        w.writerows(requests)
    failures = 0
    for match in ("exact", "reach"):
        texts = []
        for threads in ("1", "3"):
            out = os.path.join(work, "results%s.csv" % threads)
            subprocess.run([RILLMARK, "batch", rpath, "--tables", folder, "--out", out, "--threads", threads,
                            "--features", spath, "--feature-match", match, "--quiet"], check=True, timeout=600)
            with open(os.path.join(work, "results%s.features.csv" % threads)) as f:
                texts.append(f.read())
        # Two shards joined by merge-shards.sh: the same FEATURES again.
        parts = []
        for k in ("1", "2"):
            parts.append(os.path.join(work, "part%s.csv" % k))
            subprocess.run([RILLMARK, "batch", rpath, "--tables", folder, "--out", parts[-1], "--shard", k + "/2",
                            "--features", spath, "--feature-match", match, "--quiet"], check=True, timeout=600)
        merged = os.path.join(work, "merged.csv")
        subprocess.run([os.path.join(SOURCE, "scripts", "merge-shards.sh"), merged] + parts, check=True)
        with open(os.path.join(work, "merged.features.csv")) as f:
            texts.append(f.read())
        want = expected(read_results(os.path.join(work, "results1.csv")), sites, reaches, ranges, match)
        if texts[0] != texts[1] or texts[0] != texts[2]:
            print("%s %s: FEATURES differs between 1 and 3 threads or 2 shards" % (network, match))
            failures += 1
        if texts[0] != want:
            got, exp = texts[0].splitlines(), want.splitlines()
            diff = next((i for i in range(min(len(got), len(exp))) if got[i] != exp[i]), min(len(got), len(exp)))
            print("%s %s: line %d\n  got  %s\n  want %s" % (network, match, diff + 1,
                                                          got[diff] if diff < len(got) else "(end)",
                                                          exp[diff] if diff < len(exp) else "(end)"))
            failures += 1
        else:
            print("%s %s: %d sites passed, as the rule gives" % (network, match, len(texts[0].splitlines()) - 1))
    return failures


def main():
    rng = random.Random(24)
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        for network in NETWORKS:
            if os.path.exists(os.path.join(SHARED, network, "rchdata.txt")):
                failures += check(network, rng, work)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
