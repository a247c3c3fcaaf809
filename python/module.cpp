// The extension module _rillmark: the core's navigation and batch for
// Python. The package rillmark (rillmark/__init__.py) makes the data frames
// of what it returns. The interpreter lock is let go while tables load and
// navigations run, so Python threads navigate one Network at once.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <unordered_map>

#include "batch/batch.h"
#include "call_arguments.h"
#include "frame_blocks.h"

namespace py = pybind11;
using namespace rill::python;
using rill::ColumnsSink;
using rill::NavigateOutcome;
using rill::NetworkHandle;
using rill::NetworkSites;
using rill::RowColumns;
using rill::SiteValues;
using rill::SiteValuesSink;

namespace {

py::list TextList(const std::vector<std::string>& texts) {
  py::list list;
  for (const std::string& t : texts) list.append(Text(t));
  return list;
}

// The codes and dates of the rows' reaches as str objects, one object per
// reach however often it is passed.
void ReachTexts(const std::vector<const rill::ReachRecord*>& reaches, std::vector<py::object>& codes,
                std::vector<py::object>& dates) {
  codes.reserve(reaches.size());
  dates.reserve(reaches.size());
  std::unordered_map<const rill::ReachRecord*, std::size_t> seen;
  for (const rill::ReachRecord* reach : reaches) {
    const auto [at, fresh] = seen.try_emplace(reach, codes.size());
    if (fresh) {
      codes.push_back(Text(reach->Code()));
      dates.push_back(Text(reach->Date()));
    } else {
      codes.push_back(codes[at->second]);
      dates.push_back(dates[at->second]);
    }
  }
}

// (objects, ints, floats) of rows: [Request,] Rch_code and Rch_date; Com_id
// and Duu_id; the four measures. Takes the columns' memory as it goes.
py::tuple RowBlocks(RowColumns& r, const std::vector<py::object>* ids = nullptr) {
  const std::size_t n = r.size();
  std::vector<py::object> codes;
  std::vector<py::object> dates;
  ReachTexts(r.reach, codes, dates);
  std::vector<const std::vector<py::object>*> texts = {&codes, &dates};
  if (ids != nullptr) texts.insert(texts.begin(), ids);
  py::array textBlock = TextBlock(texts, n);
  py::array intBlock = IntBlock({&r.comId, &r.duuId}, n);
  return py::make_tuple(textBlock, intBlock, FloatBlock({&r.from, &r.to, &r.distance, &r.length}, n));
}

// A table of a network cannot be opened: raised to Python as TablesError.
struct TablesMissing {
  rill::Status status;
};

template <typename T>
T ValueOrRaise(rill::StatusOr<T> result) {
  if (!result.ok()) throw TablesMissing{result.status()};
  return std::move(result).value();
}

constexpr const char* kCapsuleName = "rillmark.network";

// The network a capsule made by `load` holds; anything else is a TypeError,
// never a crash.
const NetworkHandle& Network(py::handle capsule) {
  if (PyCapsule_IsValid(capsule.ptr(), kCapsuleName) == 0) throw py::type_error("not a network loaded by rillmark");
  return *static_cast<const NetworkHandle*>(PyCapsule_GetPointer(capsule.ptr(), kCapsuleName));
}

constexpr const char* kSitesCapsuleName = "rillmark.sites";

// The sites a capsule made by `place_sites` holds, placed on `network`; None: none.
const NetworkSites* Sites(py::handle capsule, const NetworkHandle& network) {
  if (capsule.is_none()) return nullptr;
  if (PyCapsule_IsValid(capsule.ptr(), kSitesCapsuleName) == 0)
    throw py::type_error("features: not a site table placed by rillmark");
  const auto* sites = static_cast<const NetworkSites*>(PyCapsule_GetPointer(capsule.ptr(), kSitesCapsuleName));
  if (sites->tables != network.loaded().get()) throw py::value_error("features: placed on another network");
  return sites;
}

rill::FeatureMatch MatchArgument(py::handle match) {
  rill::FeatureMatch m = rill::FeatureMatch::Exact;
  if (!py::isinstance<py::str>(match) || !rill::ReadFeatureMatch(match.cast<std::string>(), m))
    throw py::value_error("feature_match must be \"exact\" or \"reach\"");
  return m;
}

// (request positions or None, site rows, Com_ids, codes, measures, distances) as lists.
py::tuple SiteLists(const SiteValues& v, bool withRequest) {
  py::list rows;
  py::list comIds;
  py::list codes;
  for (std::size_t i = 0; i < v.row.size(); ++i) {
    rows.append(v.row[i]);
    comIds.append(v.comId[i]);
    codes.append(Text(v.reach[i]->Code()));
  }
  return py::make_tuple(withRequest ? py::object(py::cast(v.request)) : py::none(), rows, comIds, codes,
                        py::cast(v.measure), py::cast(v.distance));
}

// (capsule, placed, skipped rows as (line, id, reason)): a site table from a
// frame's columns, placed on the network once.
py::tuple PlaceSites(py::handle capsule, py::handle names, py::handle columns) {
  const NetworkHandle& network = Network(capsule);
  RequestsTable table = ReadRequestsTable(names, columns);
  rill::StatusOr<rill::SiteTable> read = rill::SiteTableOf("features", std::move(table.header), table.records);
  if (!read.ok()) throw py::value_error(read.status().message());
  auto sites = std::make_unique<NetworkSites>();
  sites->table = std::make_shared<const rill::SiteTable>(std::move(read).value());
  sites->tables = network.loaded().get();
  {
    py::gil_scoped_release free;
    sites->placed = std::make_shared<const rill::PlacedSites>(*sites->table, network.tables());
  }
  py::list skipped;
  for (const rill::SkippedSite& s : sites->placed->named())
    skipped.append(py::make_tuple(s.line, Text(s.id), Text(s.reason)));
  const std::size_t placed = sites->placed->placed();
  const std::size_t skippedCount = sites->placed->skipped();
  py::capsule held(sites.get(), kSitesCapsuleName,
                   [](PyObject* c) { delete static_cast<NetworkSites*>(PyCapsule_GetPointer(c, kSitesCapsuleName)); });
  sites.release();
  const rill::SiteTable& t = *static_cast<NetworkSites*>(held.get_pointer())->table;
  py::object measureAt = t.measureColumn ? py::object(py::int_(*t.measureColumn)) : py::none();
  py::list travelNames;
  for (const std::string& name : t.travelNames) travelNames.append(Text(name));
  py::tuple columnsAt = py::make_tuple(t.idColumn, t.comIdColumn, measureAt, py::cast(t.travelColumns), travelNames);
  return py::make_tuple(held, placed, skippedCount, skipped, columnsAt);
}

py::tuple Navigate(py::handle capsule, py::handle mode, py::handle navType, py::handle startReach,
                   py::handle startComid, py::handle startMeasure, py::handle direction, py::handle distance,
                   py::handle units, py::handle endReach, py::handle endComid, py::handle endMeasure,
                   py::handle wholeReachStart, py::handle endAtCuBoundary, py::handle log, py::handle features,
                   py::handle featureMatch) {
  const rill::NavigationRequest request =
      ReadNavigateArguments({mode, navType, startReach, startComid, startMeasure, direction, distance, units, endReach,
                             endComid, endMeasure, wholeReachStart, endAtCuBoundary});
  if (!PyBool_Check(log.ptr())) throw py::type_error("log must be a bool");
  const bool withLog = log.ptr() == Py_True;
  const NetworkHandle& network = Network(capsule);
  const NetworkSites* sites = Sites(features, network);
  const rill::FeatureMatch match = MatchArgument(featureMatch);
  NavigateOutcome outcome;
  {
    py::gil_scoped_release free;
    outcome = network.Navigate(request, withLog);
  }
  const rill::Navigation& navigation = outcome.navigation;
  if (navigation.refusal) {
    const bool end = navigation.refusal->point == rill::RequestPoint::End;
    throw py::value_error(std::string(end ? "end_reach and end_comid" : "start_reach and start_comid") +
                          " disagree: " + navigation.refusal->reason);
  }
  RowColumns rows;
  for (const rill::ResultRow& row : navigation.rows) rows.Add(row, 0);
  const std::string_view ccode = navigation.digits ? navigation.digits->text() : std::string_view();
  py::object passed = py::none();
  if (sites != nullptr) {
    SiteValues values;
    values.Add(0, navigation, rill::SitesPassed(navigation, *sites->placed, match));
    passed = SiteLists(values, false);
  }
  return py::make_tuple(RowBlocks(rows), Text(ccode), TextList(navigation.notes),
                        withLog ? py::object(Text(outcome.log)) : py::none(), passed);
}

// (results blocks, status blocks): the rows with their request's id in
// front, and one status per request.
py::tuple Batch(py::handle capsule, py::handle names, py::handle columns, py::handle threads, py::handle maxTables,
                py::handle features, py::handle featureMatch) {
  const unsigned threadCount = ThreadsArgument(threads);
  const std::size_t tableCount = MaxTablesArgument(maxTables);
  RequestsTable table = ReadRequestsTable(names, columns);
  const NetworkHandle& network = Network(capsule);
  const NetworkSites* sites = Sites(features, network);
  const rill::FeatureMatch match = MatchArgument(featureMatch);
  // Requests without a Tables (or Prefix) column navigate this network.
  auto source = rill::RequestsInMemory(std::move(table.header), std::move(table.records),
                                       rill::RequestDefaults{network.folder(), network.prefix()});
  if (!source.ok()) throw py::value_error("requests: " + source.status().message());
  rill::BatchEngine engine(rill::EngineOptions{threadCount, tableCount, 0});
  engine.Keep(network.folder() + network.prefix(), network.loaded());
  ColumnsSink sink;
  std::unique_ptr<SiteValuesSink> siteSink;
  std::unique_ptr<rill::SinkPair> both;
  if (sites != nullptr) {
    siteSink = std::make_unique<SiteValuesSink>(*sites, match);
    both = std::make_unique<rill::SinkPair>(sink, *siteSink);
  }
  rill::OutcomeSink& into = both ? static_cast<rill::OutcomeSink&>(*both) : sink;
  std::atomic<bool> stop{false};
  bool interrupted = false;
  // Ctrl-C is seen between chunks: the engine reports now and then on this thread.
  auto checkSignals = [&](const rill::BatchProgress&) {
    py::gil_scoped_acquire held;
    if (PyErr_CheckSignals() != 0) {
      interrupted = true;
      stop.store(true);
    }
  };
  rill::BatchSummary summary;
  {
    py::gil_scoped_release free;
    summary = engine.Run(**source, into, stop, checkSignals);
  }
  if (interrupted) throw py::error_already_set();

  const std::size_t count = sink.ids.size();
  std::vector<py::object> ids;
  ids.reserve(count);
  for (const std::string& id : sink.ids) ids.push_back(Text(id));
  std::vector<py::object> rowIds;
  rowIds.reserve(sink.rows.size());
  for (std::uint32_t request : sink.rows.request) rowIds.push_back(ids[request]);
  std::vector<std::uint32_t>().swap(sink.rows.request);

  std::vector<py::object> ccodes(count);
  std::vector<py::object> messages(count);
  for (std::size_t i = 0; i < count; ++i) {
    ccodes[i] = Text(sink.ccodes[i]);
    messages[i] = Text(sink.messages[i]);
  }
  py::tuple status = py::make_tuple(TextBlock({&ids, &ccodes, &messages}, count), IntBlock({&sink.statuses}, count));
  return py::make_tuple(RowBlocks(sink.rows, &rowIds), status,
                        siteSink ? py::object(SiteLists(siteSink->values, true)) : py::none());
}

py::capsule Load(py::handle folder, py::handle prefix) {
  std::string folderText = TextArgument(folder, "folder");
  std::string prefixText = TextArgument(prefix, "prefix");
  std::unique_ptr<NetworkHandle> network;
  {
    py::gil_scoped_release free;
    network = ValueOrRaise(NetworkHandle::Load(std::move(folderText), std::move(prefixText)));
  }
  py::capsule capsule(network.get(), kCapsuleName,
                      [](PyObject* c) { delete static_cast<NetworkHandle*>(PyCapsule_GetPointer(c, kCapsuleName)); });
  network.release();
  return capsule;
}

py::tuple Describe(py::handle capsule) {
  const NetworkHandle& n = Network(capsule);
  return py::make_tuple(Text(n.folder()), Text(n.prefix()), n.tables().reaches().size(), n.tables().flows().size(),
                        n.tables().sections().size());
}

py::list Skipped(py::handle capsule) {
  py::list lines;
  for (const rill::SkippedTableLine& s : Network(capsule).skipped())
    lines.append(py::make_tuple(s.line, Text(s.path), Text(s.reason)));
  return lines;
}

py::str LoadLog(py::handle capsule) {
  const NetworkHandle& network = Network(capsule);
  std::string log;
  {
    py::gil_scoped_release free;
    log = ValueOrRaise(network.LoadLog());
  }
  return Text(log);
}

}  // namespace

PYBIND11_MODULE(_rillmark, m) {
  m.doc() = "The navigator's core for Python; the package rillmark makes its networks and data frames.";
  static py::exception<TablesMissing> tablesError(m, "TablesError", PyExc_OSError);
  // The message alone, though the path is in `filename` too.
  tablesError.attr("__str__") = py::cpp_function(
      [](py::handle self) { return py::str(self.attr("args")[py::int_(0)]); }, py::is_method(tablesError));
  tablesError.attr("__module__") = "rillmark";
  tablesError.attr("__doc__") = "A table of a network cannot be opened; `filename` is its path.";
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const TablesMissing& e) {
      py::object error = py::reinterpret_borrow<py::object>(tablesError)(Text(e.status.message()));
      error.attr("filename") = Text(e.status.path());
      PyErr_SetObject(tablesError.ptr(), error.ptr());
    }
  });
  m.def("load", &Load);
  m.def("describe", &Describe);
  m.def("skipped", &Skipped);
  m.def("load_log", &LoadLog);
  m.def("navigate", &Navigate);
  m.def("batch", &Batch);
  m.def("place_sites", &PlaceSites);
}
