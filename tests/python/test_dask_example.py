"""examples/dask_batch.py on a local cluster on loopback: the outputs of one `rillmark batch`."""
import os
import subprocess
import sys

import pytest

from cases import shared_cases
from conftest import SAMPLE, SHARED, SHARED_NETWORKS, SOURCE, cli_batch
from test_navigate import requests_frame

pytest.importorskip("distributed")
EXAMPLE = os.path.join(SOURCE, "examples", "dask_batch.py")


def test_dask_example_writes_the_batch_outputs(rillmark, tmp_path):
    # The workers import the package the tests import.
    env = dict(os.environ, PYTHONPATH=os.path.dirname(os.path.dirname(rillmark.__file__)))
    folder = os.path.join(SHARED, SHARED_NETWORKS[0]) if SHARED_NETWORKS else SAMPLE
    # The sample's requests, and mixed requests on a larger network cut in many parts.
    for name, requests, tables, parts in (("sample", os.path.join(SAMPLE, "requests.csv"), SAMPLE, 0),
                                          ("shared", None, folder, 7)):
        if requests is None:
            requests = str(tmp_path / "shared_requests.csv")
            requests_frame(shared_cases(rillmark.Network(folder), folder)).to_csv(requests, index=False)
        out = tmp_path / f"{name}_dask.csv"
        subprocess.run([sys.executable, EXAMPLE, requests, "--tables", tables, "--out", str(out), "--workers", "2",
                        "--parts", str(parts)], check=True, timeout=180, capture_output=True, cwd=tmp_path, env=env)
        cli_batch(tmp_path, requests, tables, name=f"{name}_cli")
        for suffix in (".csv", ".status.csv"):
            with open(tmp_path / f"{name}_dask{suffix}", "rb") as dask, open(tmp_path / f"{name}_cli{suffix}",
                                                                               "rb") as cli:
                assert dask.read() == cli.read(), name + suffix
