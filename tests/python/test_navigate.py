"""Network.navigate against the programs: the rows, ccode and trace of a single run
with the same fields, and the notes of the batch's STATUS, on the sample network and
on the shared networks."""
import os

import pandas as pd
import pytest
from pandas.testing import assert_frame_equal

from cases import BATCH_ONLY_CASES, SAMPLE_CASES, batch_line, shared_cases, single_run_fields
from conftest import SAMPLE, SHARED, SHARED_NETWORKS, cli_batch, single_run, work_folder


def assert_rows_equal(rows, expected, name):
    """Equal rows; an empty CSV (or one of a header only) stands for no rows at all."""
    if expected is None or expected.empty:
        assert rows.empty, name
    else:
        assert_frame_equal(rows, expected, check_exact=True, obj=name)


def requests_frame(cases):
    frame = pd.DataFrame([batch_line(name, case) for name, case in cases.items()])
    return frame.astype({"StartComid": "Int64", "EndComid": "Int64"})


def check_against_programs(rillmark, tmp_path, tables, cases):
    work = work_folder(tmp_path, tables)
    # Loaded as the single run names its tables, so that the load dumps agree.
    network = rillmark.Network(work, "./")
    load_log = network.load_log()
    results, status = cli_batch(tmp_path, requests_frame(cases), work)
    for row, (name, case) in enumerate(cases.items()):
        nav = network.navigate(log=True, **case)
        # The batch: rows, ccode and notes of every case.
        expected = results[results.Request == name].drop(columns="Request").reset_index(drop=True)
        assert_rows_equal(nav.rows, expected, name)
        assert nav.ccode == status.ccode[row], name
        assert "; ".join(nav.notes) == status.Message[row], name
        if name in BATCH_ONLY_CASES:
            continue
        # The single run: its CSV, ccode.txt and message.out after the request's header.
        rows, ccode, log = single_run(work, single_run_fields(case))
        assert_rows_equal(nav.rows, rows, name)
        assert nav.ccode == ccode, name
        assert log[log.index("Rchdata: "):] == load_log + nav.log, name


def test_sample_network(rillmark, tmp_path):
    check_against_programs(rillmark, tmp_path, SAMPLE, {**SAMPLE_CASES, **BATCH_ONLY_CASES})


@pytest.mark.parametrize("name", SHARED_NETWORKS)
def test_shared_network(rillmark, tmp_path, name):
    folder = os.path.join(SHARED, name)
    check_against_programs(rillmark, tmp_path, folder, shared_cases(rillmark.Network(folder), folder))


def test_empty_result_has_the_columns(rillmark):
    rows = rillmark.Network(SAMPLE).navigate("DM", start_reach="99999999999999").rows
    assert rows.empty
    assert list(rows.columns) == ["Rch_code", "Com_id", "Rch_date", "Duu_id", "FromMeasure", "ToMeasure",
                                  "Distance", "RchLength"]
    assert [str(t) for t in rows.dtypes] == ["object", "int64", "object", "int64"] + ["float64"] * 4


def test_no_log_unless_asked(rillmark):
    assert rillmark.Network(SAMPLE).navigate("UT", start_reach="41020003000002").log is None
