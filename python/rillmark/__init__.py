"""River network navigation: networks loaded once, navigations as pandas data frames.

    >>> import rillmark
    >>> net = rillmark.Network("examples")
    >>> nav = net.navigate("DM", start_reach="41020003000006", start_measure=50, units="MI")
    >>> nav.ccode, len(nav.rows)
    ('0000', 6)

A navigation gives the rows, status digits (ccode) and notes of a single run
of the navigator with the same fields; Network.batch gives the RESULTS and
STATUS of `rillmark batch`. Reach codes and dates are strings, Com_id and
Duu_id integers, the measures floats equal to the numbers the CSV prints.
The interpreter lock is released while tables load and navigations run, and
a Network never changes after loading, so threads may share one.
"""
import collections
import os

from . import _rillmark, frames
from ._rillmark import TablesError

__all__ = ["Network", "Navigation", "Sites", "SkippedLine", "SkippedSite", "TablesError"]

SkippedLine = collections.namedtuple("SkippedLine", "line file reason")
SkippedLine.__doc__ = "A table line the loader skipped: its number (from 1), the table's path, and why."


SkippedSite = collections.namedtuple("SkippedSite", "line id reason")
SkippedSite.__doc__ = "A site table row that could not be placed: its line (header 1), its id, and why."


class Sites:
    """A site table placed once on a network (Network.sites): pass it as features=.

    frame    the site table as given (a path read with every value a str)
    placed   how many of its rows were placed on the network's reaches
    skipped  how many could not be (no id, a Com_id not in the reach table, a
             measure that is no number or lies outside its reach's sections)
    skipped_sites  the first ten of those, as SkippedSite
    """

    __slots__ = ("frame", "placed", "skipped", "skipped_sites", "_network", "_capsule", "_columns")

    def __init__(self, network, table):
        if not isinstance(table, frames.pd.DataFrame):
            table = frames.pd.read_csv(table, dtype=str, keep_default_na=False)
        self.frame = table
        names, columns = frames.requests_table(self.frame)
        self._network = network
        self._capsule, self.placed, self.skipped, named, self._columns = _rillmark.place_sites(
            network._tables, names, columns)
        self.skipped_sites = [SkippedSite(*s) for s in named]

    def passed(self, found, with_request):
        """The FEATURES frame of what the core found: (requests, rows, Com_ids, codes, measures, distances)."""
        requests, rows, com_ids, codes, measures, distances = found
        id_at, _, _, travel_at, travel_names = self._columns
        picked = self.frame.iloc[rows]
        data = {}
        if with_request:
            data["Request"] = requests
        data["Feature"] = picked.iloc[:, id_at].tolist()
        data["Com_id"] = frames.np.array(com_ids, dtype=frames.np.int64)
        data["Rch_code"] = codes
        data["Measure"] = frames.np.array(measures, dtype=float)
        data["Distance"] = frames.np.array(distances, dtype=float)
        for at, name in zip(travel_at, travel_names):
            data[name] = picked.iloc[:, at].tolist()
        return frames.pd.DataFrame(data)


class Navigation:
    """What one navigation found.

    rows   a pandas DataFrame with the result CSV's columns (empty, with those
           columns, when nothing was found)
    ccode  the four status digits, as a string ("0000" when nothing stopped the walk)
    notes  why the walk stopped where the ccode says so, one str per reason
    log    the trace a single run writes after its load dump (only with log=True, else None)
    """

    __slots__ = ("rows", "ccode", "notes", "log", "features")

    def __init__(self, rows, ccode, notes, log, features=None):
        self.rows = rows
        self.ccode = ccode
        self.notes = notes
        self.log = log
        self.features = features

    def __repr__(self):
        return f"Navigation(ccode={self.ccode!r}, rows={len(self.rows)}, notes={self.notes!r})"


class Network:
    """The three tables of one river network, loaded once.

    Network(folder, prefix="") reads folder/prefix + secdata.txt, flowdata.txt and
    rchdata.txt (a folder without its trailing separator gets one). A table
    that cannot be opened raises TablesError naming the file (its filename
    attribute holds the path). Lines the loader skips are not printed but kept
    in `skipped`. reach_count, flow_count and section_count count what was
    loaded; load_log() gives the load dump a single run writes.
    """

    __slots__ = ("_tables", "_folder", "_prefix", "_counts")

    def __init__(self, folder, prefix=""):
        if isinstance(folder, os.PathLike):
            folder = os.fspath(folder)
        self._tables = _rillmark.load(folder, prefix)
        self._folder, self._prefix, *self._counts = _rillmark.describe(self._tables)

    @property
    def folder(self):
        """The table folder, with its trailing separator."""
        return self._folder

    @property
    def prefix(self):
        """The prefix of the table file names."""
        return self._prefix

    @property
    def reach_count(self):
        """Reaches loaded (the records of rchdata.txt the loader kept)."""
        return self._counts[0]

    @property
    def flow_count(self):
        """Flow rows loaded (the records of flowdata.txt the loader kept)."""
        return self._counts[1]

    @property
    def section_count(self):
        """Sections loaded (the records of secdata.txt the loader kept)."""
        return self._counts[2]

    @property
    def skipped(self):
        """The lines the loader skipped, as SkippedLine(line, file, reason), in the log's order."""
        return [SkippedLine(*s) for s in _rillmark.skipped(self._tables)]

    def load_log(self):
        """The load dump a single run writes to message.out for these tables.

        Formatted on request, by reading the tables again: the dump of a large
        network runs to hundreds of megabytes, so it is not kept.
        """
        return _rillmark.load_log(self._tables)

    def navigate(self, mode=None, *, nav_type=None, start_reach=None, start_comid=None, start_measure=0.0,
                 direction=None, distance=0.0, units="M", end_reach=None, end_comid=None, end_measure=0.0,
                 whole_reach_start=False, end_at_cu_boundary=0, log=False, features=None,
                 feature_match="exact"):
        """One navigation, as a single run with the same fields navigates; returns a Navigation.

        Say what to navigate either by `mode` or by `nav_type` with `direction`:
          mode "UM" upstream mainstem, "UT" upstream with tributaries, "DM" downstream
               mainstem, "DD" downstream with divergences (NavType 1 and 2; with a
               distance > 0, 3 and 4), "PP" point to point (NavType 5; direction
               "D" unless given)
          nav_type 1 to 5 and direction "U" or "D", as the NavType and Direction fields.
        The start is start_reach (a reach code: the first reach of that code in the
        reach table) or start_comid (that reach alone; with a code too, both must name
        it), at start_measure; point to point ends at end_reach or end_comid,
        end_measure. distance limits types 3 and 4, in `units`: "MI", "FT", "M" or
        "KM", which the rows' distances and lengths are given in as well.
        whole_reach_start (WholeReachStartMode) enters a branched or lake start reach
        whole; end_at_cu_boundary (EndAtCUBoundary) 1 keeps the rows of the start's
        unit (first 8 characters of the code) only, any other value but 0 none.
        log=True also formats the trace into Navigation.log (otherwise it costs nothing).
        features (Sites, a site table DataFrame or its path) gives Navigation.features:
        the sites passed, as `rillmark batch --features` lists them without Request
        (Measure and Distance floats, NaN for a site without a measure);
        feature_match "exact" or "reach" as --feature-match.

        A request that cannot be navigated (an unknown start reach, say) is no error:
        its ccode and notes say why. Wrong types raise TypeError, wrong values
        ValueError, each naming the argument.
        """
        sites = self._sites_of(features)
        blocks, ccode, notes, trace, found = _rillmark.navigate(
            self._tables, mode, nav_type, start_reach, start_comid, start_measure, direction, distance, units,
            end_reach, end_comid, end_measure, whole_reach_start, end_at_cu_boundary, log,
            None if sites is None else sites._capsule, feature_match)
        return Navigation(frames.rows_frame(blocks), ccode, notes, trace,
                          None if sites is None else sites.passed(found, False))

    def sites(self, table):
        """A site table (a DataFrame, or the path of a CSV) placed once on this network; see Sites.

        The id is the first of the columns Feature, Site, Request, id; the place
        Com_id (or StartComid) and optionally Measure (or StartMeasure), as for
        `rillmark batch --features`. A table without an id or a place column raises
        ValueError naming the columns looked for.
        """
        return Sites(self, table)

    def _sites_of(self, features):
        if features is None or isinstance(features, Sites):
            return features
        return Sites(self, features)

    def batch(self, requests, threads=None, max_tables=4, features=None, feature_match="exact"):
        """Navigates a table of requests as `rillmark batch` does; returns (results, status).

        `requests` is a DataFrame with the columns of a batch's requests table
        (Request, NavType, StartReach, Direction; optionally StartComid, StartMeasure,
        EndReach, EndComid, EndMeasure, Distance, DistanceUnits, WholeReachStartMode,
        EndAtCUBoundary, Tables, Prefix; names in any letter case, other columns passed
        over). Each value is read as its field in a requests CSV (a missing value is an
        empty field). Requests without Tables navigate this network; those naming other
        tables navigate those, loaded once for the call.

        results has the columns of RESULTS (Request, then the rows' columns) and status
        those of STATUS (Request, Status, ccode, Message; an empty field is ""), the
        requests in order, on `threads` threads (None: one per core), keeping at most
        `max_tables` other table folders loaded at once. A header the batch
        refuses (a near miss of a column name, a missing or repeated column) raises
        ValueError with the batch's message.

        With features (Sites, a site table DataFrame or its path) it returns
        (results, status, features): FEATURES of `rillmark batch --features` as a
        frame (the requests that navigate this network; feature_match as there).
        """
        sites = self._sites_of(features)
        names, columns = frames.requests_table(requests)
        results, status, found = _rillmark.batch(self._tables, names, columns, threads, max_tables,
                                                 None if sites is None else sites._capsule, feature_match)
        results, status = frames.batch_frame(results), frames.status_frame(status)
        if sites is None:
            return results, status
        ids = status["Request"].tolist()
        found = ([ids[i] for i in found[0]],) + tuple(found[1:])
        return results, status, sites.passed(found, True)

    def __reduce__(self):
        # Unpickled (on a Dask worker, say), a Network loads its tables there again.
        return (Network, (self._folder, self._prefix))

    def __repr__(self):
        return (f"Network({self.folder!r}, prefix={self.prefix!r}: {self.reach_count} reaches, "
                f"{self.flow_count} flow rows, {self.section_count} sections)")
