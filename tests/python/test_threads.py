"""Python threads navigating one Network at once get the answers of one thread."""
import os
import threading

from pandas.testing import assert_frame_equal

from cases import shared_cases
from conftest import SAMPLE, SHARED, SHARED_NETWORKS


def answers(network, cases):
    return [(nav.rows, nav.ccode, nav.notes, nav.log) for nav in (network.navigate(log=True, **c) for c in cases)]


def test_four_threads_on_one_network(rillmark):
    folder = os.path.join(SHARED, SHARED_NETWORKS[0]) if SHARED_NETWORKS else SAMPLE
    network = rillmark.Network(folder)
    cases = list(shared_cases(network, folder).values())
    alone = answers(network, cases)
    got = [None] * 4
    start = threading.Barrier(4)

    def run(k):
        start.wait()
        got[k] = [answers(network, cases) for _ in range(3)]

    threads = [threading.Thread(target=run, args=(k,)) for k in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for rounds in got:
        for answer in rounds:
            for mine, single in zip(answer, alone, strict=True):
                assert_frame_equal(mine[0], single[0], check_exact=True)
                assert mine[1:] == single[1:]
