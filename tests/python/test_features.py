"""features=: the sites passed as frames, equal to FEATURES of `rillmark batch --features`."""
import os
import subprocess

import pandas as pd
import pytest
import rillmark

from conftest import RILLMARK, SAMPLE, SOURCE

CASE = os.path.join(SOURCE, "tests", "cases", "batch_features_exact_edges")
TEXT = {"Request": str, "Feature": str, "Rch_code": str, "name": str, "SiteDistance": str}


def features_file(tmp_path, match):
    """FEATURES of the edge case's requests and sites, read as the frame gives it."""
    out = tmp_path / "results.csv"
    subprocess.run([RILLMARK, "batch", os.path.join(CASE, "requests.csv"), "--tables", SAMPLE, "--out", str(out),
                    "--features", os.path.join(CASE, "sites.csv"), "--feature-match", match, "--quiet"], check=True)
    frame = pd.read_csv(tmp_path / "results.features.csv", dtype=TEXT, keep_default_na=False,
                        float_precision="round_trip")
    frame["Measure"] = pd.to_numeric(frame["Measure"].replace("", float("nan")))
    return frame


@pytest.mark.parametrize("match", ["exact", "reach"])
@pytest.mark.parametrize("given", ["path", "frame", "sites"])
def test_batch_features_equal_the_file(tmp_path, match, given):
    net = rillmark.Network(SAMPLE)
    path = os.path.join(CASE, "sites.csv")
    table = pd.read_csv(path, dtype=str, keep_default_na=False)
    features = {"path": path, "frame": table, "sites": net.sites(path)}[given]
    requests = pd.read_csv(os.path.join(CASE, "requests.csv"), dtype=str, keep_default_na=False)
    _, _, frame = net.batch(requests, threads=2, features=features, feature_match=match)
    pd.testing.assert_frame_equal(frame, features_file(tmp_path, match), check_dtype=False)


def test_navigate_features_are_the_batch_request_s():
    net = rillmark.Network(SAMPLE)
    sites = net.sites(os.path.join(CASE, "sites.csv"))
    assert (sites.placed, sites.skipped) == (14, 4)
    assert sites.skipped_sites[0] == rillmark.SkippedSite(16, "X1", "its Com_id 999 is not in the reach table")
    nav = net.navigate("UM", start_comid=4100023, start_measure=50, features=sites)
    assert nav.features["Feature"].tolist() == ["S06", "S02", "S07", "S08", "S09", "S13"]
    assert nav.features["Distance"].tolist() == [0.0, 555.0, 2125.0, 2845.0, 5625.0, 10375.0]
    assert net.navigate("UM", start_comid=4100023, start_measure=50).features is None


@pytest.mark.parametrize("table, message", [
    (pd.DataFrame({"Site": ["a"], "Measure": ["1"]}), "place column (Com_id or StartComid)"),
    (pd.DataFrame({"Com_id": ["4100011"]}), "id column (Feature, Site, Request or id)"),
])
def test_unusable_site_tables(table, message):
    with pytest.raises(ValueError, match=message.replace("(", r"\(").replace(")", r"\)")):
        rillmark.Network(SAMPLE).sites(table)


def test_unknown_feature_match():
    net = rillmark.Network(SAMPLE)
    with pytest.raises(ValueError, match="feature_match"):
        net.navigate("UM", start_comid=4100023, features=pd.DataFrame({"Site": ["a"], "Com_id": ["4100011"]}),
                     feature_match="near")
