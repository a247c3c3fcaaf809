"""Python threads navigating one Network at once get the answers of one thread."""
import os
import threading

from pandas.testing import assert_frame_equal

from cases import SAMPLE_CASES, shared_cases
from conftest import SAMPLE, SHARED, SHARED_NETWORKS


def answers(network, cases):
    return [(nav.rows, nav.ccode, nav.notes, nav.log)
            for nav in (network.navigate(log=True, **case) for case in cases)]


def test_four_threads_on_one_network(rillmark):
    folder = os.path.join(SHARED, SHARED_NETWORKS[0]) if SHARED_NETWORKS else SAMPLE
    network = rillmark.Network(folder)
    cases = list(shared_cases(network, folder).values()) + list(SAMPLE_CASES.values())[:0]
    sample = rillmark.Network(SAMPLE)
    alone = answers(network, cases), answers(sample, SAMPLE_CASES.values())
    got = [None] * 4
    start = threading.Barrier(4)

    def run(k):
        start.wait()
        got[k] = [(answers(network, cases), answers(sample, SAMPLE_CASES.values())) for _ in range(3)]

    threads = [threading.Thread(target=run, args=(k,)) for k in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for rounds in got:
        for pair in rounds:
            for mine, single in zip(pair[0] + pair[1], alone[0] + alone[1]):
                assert_frame_equal(mine[0], single[0], check_exact=True)
                assert mine[1:] == single[1:]
