"""Wrong arguments raise TypeError or ValueError naming the argument; missing tables
raise TablesError naming the file; skipped lines are kept, not printed."""
import os

import pytest

from conftest import SAMPLE

START = dict(start_reach="41020003000006")

BAD_CALLS = [
    (dict(), ValueError, "give mode"),
    (dict(mode="DM", nav_type=1, direction="D", **START), ValueError, "not both"),
    (dict(mode="XX", **START), ValueError, r'mode "XX" is none of UM, UT, DM, DD, PP'),
    (dict(mode=1, **START), TypeError, "mode must be a str"),
    (dict(nav_type=1, **START), ValueError, "nav_type needs a direction"),
    (dict(nav_type=6, direction="D", **START), ValueError, "nav_type must be from 1 to 5"),
    (dict(nav_type="1", direction="D", **START), TypeError, "nav_type must be an int"),
    (dict(nav_type=True, direction="D", **START), TypeError, "nav_type must be an int"),
    (dict(nav_type=1, direction="X", **START), ValueError, 'direction "X" is neither U nor D'),
    (dict(mode="UM", direction="D", **START), ValueError, "direction D contradicts mode UM"),
    (dict(mode="DM"), ValueError, "give start_reach or start_comid"),
    (dict(mode="DM", start_reach=41020003000006), TypeError, "start_reach must be a str"),
    (dict(mode="DM", start_comid=2**31), ValueError, "start_comid must be from"),
    (dict(mode="DM", start_comid=1.5), TypeError, "start_comid must be an int"),
    (dict(mode="DM", start_measure="50", **START), TypeError, "start_measure must be a number"),
    (dict(mode="DM", start_measure=10**400, **START), ValueError, "start_measure .* out of the range"),
    (dict(mode="DM", distance=None, **START), TypeError, "distance must be a number"),
    (dict(mode="DM", units="LEAGUES", **START), ValueError, r'units "LEAGUES" is none of MI, FT, M, KM'),
    (dict(mode="DM", units=None, **START), TypeError, "units must be a str"),
    (dict(mode="PP", **START), ValueError, "needs end_reach or end_comid"),
    (dict(mode="DM", end_reach="41020003000001", **START), ValueError, "for point to point only"),
    (dict(mode="DM", whole_reach_start="yes", **START), TypeError, "whole_reach_start must be an int"),
    (dict(mode="DM", end_at_cu_boundary=70000, **START), ValueError, "end_at_cu_boundary must be from"),
    (dict(mode="DM", log=1, **START), TypeError, "log must be a bool"),
    (dict(mode="DM", start_reach="41020003000001", start_comid=4100061), ValueError,
     "start_reach and start_comid disagree: StartReach 41020003000001 is not the code of the reach with Com_id"),
    (dict(mode="PP", end_reach="41020003000001", end_comid=4100061, **START), ValueError,
     "end_reach and end_comid disagree"),
]


@pytest.fixture(scope="module")
def sample(rillmark):
    return rillmark.Network(SAMPLE)


@pytest.mark.parametrize("call, error, message", BAD_CALLS)
def test_bad_navigate_arguments(sample, call, error, message):
    with pytest.raises(error, match=message):
        sample.navigate(**call)


@pytest.mark.parametrize("requests, threads, error, message", [
    ([{"Request": "a"}], None, TypeError, "requests must be a pandas DataFrame"),
    (None, 0, ValueError, "threads must be from 1"),
    (None, "2", TypeError, "threads must be an int"),
])
def test_bad_batch_arguments(sample, requests, threads, error, message):
    import pandas as pd
    if requests is None:
        requests = pd.DataFrame({"Request": ["a"], "NavType": [1], "StartReach": ["x"], "Direction": ["D"]})
    with pytest.raises(error, match=message):
        sample.batch(requests, threads=threads)


def test_missing_table_names_the_file(rillmark, tmp_path):
    (tmp_path / "secdata.txt").write_text("")
    with pytest.raises(rillmark.TablesError, match="flowdata.txt was not opened") as caught:
        rillmark.Network(tmp_path)
    assert caught.value.filename == str(tmp_path / "flowdata.txt")
    assert isinstance(caught.value, OSError)


def test_skipped_lines_are_kept(rillmark, tmp_path, capfd):
    for name in ("flowdata.txt", "secdata.txt"):
        (tmp_path / name).write_bytes(open(os.path.join(SAMPLE, name), "rb").read())
    reaches = open(os.path.join(SAMPLE, "rchdata.txt"), "rb").read()
    (tmp_path / "rchdata.txt").write_bytes(reaches + b"1,2,3\n" + b"9,123456789012345,20000101,1,1,1\n")
    network = rillmark.Network(tmp_path, "")
    lines = reaches.count(b"\n")
    path = str(tmp_path / "rchdata.txt")
    assert network.skipped == [(lines + 1, path, "it has 3 of the 6 fields"),
                               (lines + 2, path, "its Rch_code is longer than 14 characters")]
    assert network.reach_count == lines and network.flow_count == 33 and network.section_count == 31
    assert f"Line {lines + 2} of {path} was skipped: its Rch_code is longer than 14 characters\n" in \
        network.load_log()
    assert capfd.readouterr() == ("", "")


def test_help_shows_the_interface(rillmark):
    text = rillmark.Network.navigate.__doc__ + rillmark.Network.batch.__doc__ + rillmark.Network.__doc__
    for word in ("UM", "UT", "DM", "DD", "PP", "KM", "TablesError", "STATUS"):
        assert word in text
