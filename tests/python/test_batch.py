"""Network.batch against `rillmark batch` on the same table: RESULTS and STATUS value for value."""
import os

import pandas as pd
import pytest
from pandas.testing import assert_frame_equal

from cases import BATCH_ONLY_CASES, SAMPLE_CASES, shared_cases
from conftest import SAMPLE, SHARED, SHARED_NETWORKS, cli_batch, read_csv
from test_navigate import requests_frame

REFUSALS = pd.DataFrame({
    "Request": ["ok", "units", "no_direction", "comid", "missing_tables", "other_tables", "nav_0", "quote\"d,\nline"],
    "NavType": ["1", "1", "1", "2", "1", "2", "0", "2"],
    "StartReach": ["41020003000006", "41020003000006", "41020003000006", "", "41020003000006",
                   "41020003000002", "41020003000003", "41020003000102"],
    "StartComid": ["", "", "", "41x", "", "", "", ""],
    "Direction": ["D", "D", "", "U", "D", "U", "D", "D"],
    "DistanceUnits": ["MI", "LEAGUES", "MI", "MI", "MI", "km", "MI", "FT"],
    "Tables": ["", "", "", "", "/nonexistent/", SAMPLE, "", ""],
    "Notes": ["passed over"] * 8,
})


def assert_batch_equal(got, expected):
    for frame, want in zip(got, expected):
        assert_frame_equal(frame, want, check_exact=True)


SAMPLE_REQUESTS = os.path.join(SAMPLE, "requests.csv")


# The sample's requests table read as its fields, or as pandas reads it by
# default (numbers as numbers, empty fields as NaN), against the CLI on the
# file; the table of cases (Com_ids with gaps, KM) against the CLI on its CSV.
@pytest.mark.parametrize("threads", [1, 3, None])
@pytest.mark.parametrize("table", ["fields", "numbers", "cases"])
def test_sample_batch(rillmark, tmp_path, table, threads):
    requests = {"fields": lambda: pd.read_csv(SAMPLE_REQUESTS, dtype=str, keep_default_na=False),
                "numbers": lambda: pd.read_csv(SAMPLE_REQUESTS),
                "cases": lambda: requests_frame({**SAMPLE_CASES, **BATCH_ONLY_CASES})}[table]()
    got = rillmark.Network(SAMPLE).batch(requests, threads=threads)
    assert_batch_equal(got, cli_batch(tmp_path, requests if table == "cases" else SAMPLE_REQUESTS, SAMPLE))


def test_refused_requests_and_other_tables(rillmark, tmp_path):
    # The network loaded is another copy of the tables: a request naming the
    # sample folder navigates those, one naming no folder finds none.
    copy = tmp_path / "copy"
    copy.mkdir()
    for name in ("rchdata.txt", "flowdata.txt", "secdata.txt"):
        (copy / name).write_bytes(open(os.path.join(SAMPLE, name), "rb").read())
    requests = REFUSALS.copy()
    requests.loc[requests.Tables == "", "Tables"] = str(copy)
    got = rillmark.Network(str(copy)).batch(requests)
    assert_batch_equal(got, cli_batch(tmp_path, requests, str(copy)))
    assert list(got[1].Status) == [0, 2, 2, 2, 1, 0, 0, 0]


@pytest.mark.parametrize("name", SHARED_NETWORKS[:2])
def test_shared_batch(rillmark, tmp_path, name):
    folder = os.path.join(SHARED, name)
    network = rillmark.Network(folder)
    requests = requests_frame(shared_cases(network, folder))
    assert_batch_equal(network.batch(requests, threads=2), cli_batch(tmp_path, requests, folder))


@pytest.mark.parametrize("columns, message", [
    (["Request", "NavTpe", "StartReach", "Direction"], "did you mean NavType?"),
    (["Request", "StartReach", "Direction"], "no column NavType"),
    (["Request", "NavType", "navtype", "StartReach", "Direction"], "the column NavType twice"),
])
def test_header_the_batch_refuses(rillmark, columns, message):
    with pytest.raises(ValueError, match=message):
        rillmark.Network(SAMPLE).batch(pd.DataFrame(columns=columns))


def test_empty_table_gives_empty_frames(rillmark):
    results, status = rillmark.Network(SAMPLE).batch(pd.DataFrame(columns=["Request", "NavType", "StartReach",
                                                                           "Direction"]))
    assert results.empty and status.empty
    assert list(status.columns) == ["Request", "Status", "ccode", "Message"]
