"""What the Python package's tests share: the programs they compare with, the networks, the cases."""
import os
import subprocess

import pandas as pd
import pytest

SOURCE = os.environ.get("RILL_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
RILLMARK = os.environ.get("RILL_RILLMARK_EXE", os.path.join(SOURCE, "build", "plain", "navigator", "rillmark"))
SAMPLE = os.path.join(SOURCE, "examples")
SHARED = os.path.join(SOURCE, "..", "shared", "data")
SHARED_NETWORKS = [n for n in ("oswego", "oswego_rc", "smallnets", "haw_hr", "haw_hr_rc", "coastal_ca")
                   if os.path.exists(os.path.join(SHARED, n, "rchdata.txt"))]

# Reading a CSV of the navigator as the package gives its frames: codes and
# dates as strings, empty fields as "", numbers exactly as strtod reads them.
TEXT = {"Request": str, "Rch_code": str, "Rch_date": str, "ccode": str, "Message": str}


def read_csv(path):
    return pd.read_csv(path, dtype=TEXT, keep_default_na=False, float_precision="round_trip")


def work_folder(tmp_path, tables):
    """A folder holding links to the tables, where a single run may write its files."""
    work = tmp_path / "work"
    work.mkdir(exist_ok=True)
    for name in ("rchdata.txt", "flowdata.txt", "secdata.txt"):
        if not (work / name).exists():
            (work / name).symlink_to(os.path.join(os.path.abspath(tables), name))
    return str(work) + "/"


def single_run(work, fields):
    """Runs `rillmark` with the 14 fields (WorkPath, OutFile and FilePrefix filled in):
    its rows (an empty CSV as no rows), its ccode and its message.out."""
    line = fields.format(work=work)
    subprocess.run([RILLMARK, line], check=True, capture_output=True, timeout=120)
    csv = os.path.join(work, "out.csv")
    rows = read_csv(csv) if os.path.getsize(csv) else None
    with open(os.path.join(work, "ccode.txt")) as f:
        ccode = f.read().strip()
    with open(os.path.join(work, "message.out")) as f:
        log = f.read()
    return rows, ccode, log


def cli_batch(tmp_path, requests, tables, name="cli"):
    """RESULTS and STATUS of `rillmark batch` for a requests frame (or CSV file)."""
    path = requests
    if isinstance(requests, pd.DataFrame):
        path = tmp_path / f"{name}_requests.csv"
        requests.to_csv(path, index=False)
    out = tmp_path / f"{name}.csv"
    subprocess.run([RILLMARK, "batch", str(path), "--tables", tables, "--out", str(out), "--no-progress",
                    "--quiet"], capture_output=True, timeout=300)
    return read_csv(out), read_csv(tmp_path / f"{name}.status.csv")


@pytest.fixture(scope="session")
def rillmark():
    import rillmark as module
    return module
