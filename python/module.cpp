// The extension module _rillmark: the core's navigation and batch for
// Python. The package rillmark (rillmark/__init__.py) makes the data frames
// of what it returns. The interpreter lock is let go while tables load and
// navigations run, so Python threads navigate one Network at once.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <new>

#include "batch_call.h"
#include "call_arguments.h"
#include "frame_blocks.h"
#include "network_handle.h"

namespace py = pybind11;
using namespace rill::python;

namespace {

py::list TextList(const std::vector<std::string>& texts) {
  py::list list;
  for (const std::string& t : texts) list.append(Text(t));
  return list;
}

// (objects, ints, floats) of rows: [Request,] Rch_code and Rch_date; Com_id
// and Duu_id; the four measures.
py::tuple RowBlocks(const RowColumns& r, const std::vector<py::object>* ids = nullptr) {
  const std::size_t n = r.size();
  const std::vector<py::object> codes = Texts(r.code);
  const std::vector<py::object> dates = Texts(r.date);
  std::vector<const std::vector<py::object>*> texts = {&codes, &dates};
  if (ids != nullptr) texts.insert(texts.begin(), ids);
  return py::make_tuple(TextBlock(texts, n), IntBlock({&r.comId, &r.duuId}, n),
                        FloatBlock({&r.from, &r.to, &r.distance, &r.length}, n));
}

constexpr const char* kCapsuleName = "rillmark.network";

// The network a capsule made by `load` holds; anything else is a TypeError,
// never a crash.
const NetworkHandle& Network(py::handle capsule) {
  if (PyCapsule_IsValid(capsule.ptr(), kCapsuleName) == 0) throw py::type_error("not a network loaded by rillmark");
  return *static_cast<const NetworkHandle*>(PyCapsule_GetPointer(capsule.ptr(), kCapsuleName));
}

py::tuple Navigate(py::handle capsule, py::handle mode, py::handle navType, py::handle startReach,
                   py::handle startComid, py::handle startMeasure, py::handle direction, py::handle distance,
                   py::handle units, py::handle endReach, py::handle endComid, py::handle endMeasure,
                   py::handle wholeReachStart, py::handle endAtCuBoundary, py::handle log) {
  const rill::NavigationRequest request =
      ReadNavigateArguments({mode, navType, startReach, startComid, startMeasure, direction, distance, units, endReach,
                             endComid, endMeasure, wholeReachStart, endAtCuBoundary});
  if (!PyBool_Check(log.ptr())) throw py::type_error("log must be a bool");
  const bool withLog = log.ptr() == Py_True;
  const NetworkHandle& network = Network(capsule);
  NavigateOutcome outcome;
  {
    py::gil_scoped_release free;
    outcome = network.Navigate(request, withLog);
  }
  if (!outcome.refusal.empty()) {
    const bool end = outcome.refusal.rfind("EndReach", 0) == 0;
    throw py::value_error(std::string(end ? "end_reach and end_comid" : "start_reach and start_comid") +
                          " disagree: " + outcome.refusal);
  }
  return py::make_tuple(RowBlocks(outcome.rows), Text(outcome.ccode), TextList(outcome.notes),
                        withLog ? py::object(Text(outcome.log)) : py::none());
}

// (results blocks, status blocks): the rows with their request's id in
// front, and one status per request.
py::tuple Batch(py::handle capsule, py::handle names, py::handle columns, py::handle threads) {
  const unsigned threadCount = ThreadsArgument(threads);
  const RequestsTable table = ReadRequestsTable(names, columns);
  const NetworkHandle& network = Network(capsule);
  std::unique_ptr<BatchOutcomes> run;
  {
    py::gil_scoped_release free;
    run = RunRequests(network, table, threadCount);
  }
  const std::size_t count = run->ids.size();
  std::vector<py::object> ids;
  ids.reserve(count);
  for (const std::string& id : run->ids) ids.push_back(Text(id));
  std::vector<py::object> rowIds;
  rowIds.reserve(run->rows.size());
  for (std::uint32_t request : run->rows.request) rowIds.push_back(ids[request]);

  std::vector<std::int64_t> statuses(count);
  std::vector<py::object> ccodes(count);
  std::vector<py::object> messages(count);
  for (std::size_t i = 0; i < count; ++i) {
    statuses[i] = run->outcomes[i].status;
    ccodes[i] = Text(run->outcomes[i].ccode);
    messages[i] = Text(run->messages[i]);
  }
  py::tuple status = py::make_tuple(TextBlock({&ids, &ccodes, &messages}, count), IntBlock({&statuses}, count));
  return py::make_tuple(RowBlocks(run->rows, &rowIds), status);
}

py::capsule Load(py::handle folder, py::handle prefix) {
  std::string folderText = TextArgument(folder, "folder");
  std::string prefixText = TextArgument(prefix, "prefix");
  std::unique_ptr<NetworkHandle> network;
  {
    py::gil_scoped_release free;
    network = std::make_unique<NetworkHandle>(std::move(folderText), std::move(prefixText));
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
    log = network.LoadLog();
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
      py::object error =
          py::reinterpret_borrow<py::object>(tablesError)(Text("The input file " + e.path + " was not opened"));
      error.attr("filename") = Text(e.path);
      PyErr_SetObject(tablesError.ptr(), error.ptr());
    }
  });
  m.def("load", &Load);
  m.def("describe", &Describe);
  m.def("skipped", &Skipped);
  m.def("load_log", &LoadLog);
  m.def("navigate", &Navigate);
  m.def("batch", &Batch);
}
