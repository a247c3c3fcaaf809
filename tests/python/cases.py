"""The navigations the tests compare with the programs: keyword arguments of
Network.navigate, with the fields a single run and a batch line give them."""
import os

# The sample network's cases: every type both ways, the branched reach, the
# lake, the coast, the unit boundary, an unknown start, other units.
SAMPLE_CASES = {
    "1_down": dict(mode="DM", start_reach="41020003000006", start_measure=50, units="MI"),
    "1_up": dict(mode="UM", start_reach="41020003000001", start_measure=50, units="MI"),
    "2_down": dict(mode="DD", start_reach="41020003000102", start_measure=100, units="MI"),
    "2_up": dict(mode="UT", start_reach="41020003000002", units="MI"),
    "3_down": dict(mode="DM", start_reach="41020003000005", start_measure=100, distance=3, units="MI"),
    "3_up": dict(mode="UM", start_reach="41020003000001", distance=5000, units="M"),
    "4_down": dict(mode="DD", start_reach="41020003000003", start_measure=50, distance=2, units="MI"),
    "4_up": dict(mode="UT", start_reach="41020003000003", start_measure=100, distance=4000),
    "5_down": dict(mode="PP", start_reach="41020003000124", start_measure=100, end_reach="41020003000001",
                   end_measure=50, units="MI"),
    "5_up": dict(mode="PP", start_reach="41020003000001", start_measure=50, end_reach="41020003000102",
                 end_measure=100, direction="U", units="MI"),
    "branch": dict(mode="DD", start_reach="41020003000141", start_measure=100, units="MI"),
    "lake": dict(mode="DM", start_reach="41020003000122", start_measure=150, units="MI"),
    "lake_whole": dict(mode="DM", start_reach="41020003000122", start_measure=150, whole_reach_start=True),
    "coast_down": dict(mode="DM", start_reach="41020004000003", start_measure=100, units="MI"),
    "coast_up_cu": dict(mode="UM", start_reach="41020004000001", end_at_cu_boundary=1, units="MI"),
    "no_rows": dict(mode="UM", start_reach="41020004000001", end_at_cu_boundary=2, units="MI"),
    "unknown_start": dict(mode="DM", start_reach="99999999999999", units="MI"),
    "feet": dict(mode="UT", start_reach="41020003000002", start_measure=20, units="FT"),
    "typed": dict(nav_type=4, direction="U", start_reach="41020003000004", start_measure=30, distance=1.5,
                  units="MI"),
    "typed_pp_up": dict(nav_type=5, direction="U", start_reach="41020003000001", start_measure=50,
                        end_reach="41020003000005", end_measure=10, units="MI"),
}

# What only a batch line says: points by Com_id, kilometers.
BATCH_ONLY_CASES = {
    "comid_down": dict(mode="DM", start_comid=4100059, start_measure=20, units="MI"),
    "comid_and_code": dict(mode="UT", start_reach="41020003000003", start_comid=918, start_measure=40),
    "comid_pp": dict(mode="PP", start_comid=4400057, start_measure=100, end_comid=4100011, end_measure=50),
    "km": dict(mode="DD", start_reach="41020003000102", start_measure=100, distance=2.5, units="KM"),
}

_MODES = {"UM": (1, "U"), "UT": (2, "U"), "DM": (1, "D"), "DD": (2, "D")}


def type_and_direction(case):
    if "nav_type" in case:
        return case["nav_type"], case["direction"]
    if case["mode"] == "PP":
        return 5, case.get("direction", "D")
    nav, direction = _MODES[case["mode"]]
    return nav + (2 if case.get("distance", 0) > 0 else 0), direction


def single_run_fields(case):
    """The 14 fields of a single run; {work} stands for the work folder."""
    nav, direction = type_and_direction(case)
    return ",".join(str(v) for v in (
        nav, case.get("start_reach"), case.get("start_measure", 0), case.get("end_reach", 0),
        case.get("end_measure", 0), direction, case.get("distance", 0), case.get("units", "M"), 1, "{work}",
        "out.csv", "./", int(case.get("whole_reach_start", False)), case.get("end_at_cu_boundary", 0)))


def batch_line(name, case):
    """The request as a line of a requests table."""
    nav, direction = type_and_direction(case)
    return {"Request": name, "NavType": nav, "StartReach": case.get("start_reach"),
            "StartComid": case.get("start_comid"), "StartMeasure": case.get("start_measure", 0),
            "EndReach": case.get("end_reach"), "EndComid": case.get("end_comid"),
            "EndMeasure": case.get("end_measure", 0), "Direction": direction, "Distance": case.get("distance", 0),
            "DistanceUnits": case.get("units", "M"), "WholeReachStartMode": int(case.get("whole_reach_start", False)),
            "EndAtCUBoundary": case.get("end_at_cu_boundary", 0)}


def shared_cases(network, folder):
    """Every type both ways from two reaches of a shared network, one of them well
    down a main stem (found by the downstream mainstem from a headwater) so that
    upstream walks have something to find; point to point between a start and a
    reach below it."""
    with open(os.path.join(folder, "rchdata.txt")) as rch:
        codes = [line.split(",", 2)[1] for line in rch]

    def below(code):
        return network.navigate("DM", start_reach=code, start_measure=40).rows.Rch_code

    stem = below(codes[len(codes) // 4])
    starts = (codes[len(codes) // 2], stem.iloc[2 * len(stem) // 3] if len(stem) else codes[0])
    cases = {}
    for k, code in enumerate(starts):
        start = dict(start_reach=code, start_measure=40, units="MI")
        for mode in ("UM", "UT", "DM", "DD"):
            cases[f"{k}_{mode}"] = dict(mode=mode, **start)
            cases[f"{k}_{mode}_limit"] = dict(mode=mode, distance=3, **start)
        down = below(code)
        end = down.iloc[len(down) // 2] if len(down) else code
        cases[f"{k}_PP_down"] = dict(mode="PP", end_reach=end, end_measure=60, **start)
        cases[f"{k}_PP_up"] = dict(mode="PP", direction="U", start_reach=end, start_measure=60, end_reach=code,
                                   end_measure=40, units="MI")
    return cases
