#include "call_arguments.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <thread>

namespace rill::python {

namespace {

[[noreturn]] void WrongType(const char* name, const char* wanted, py::handle value) {
  throw py::type_error(std::string(name) + " must be " + wanted + ", not " +
                       py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>());
}

[[noreturn]] void WrongValue(const std::string& message) { throw py::value_error(message); }

std::string Shown(py::handle value) { return py::repr(value).cast<std::string>(); }

std::optional<std::string> OptionalText(py::handle value, const char* name) {
  if (value.is_none()) return std::nullopt;
  return TextArgument(value, name);
}

double Number(py::handle value, const char* name) {
  if (PyBool_Check(value.ptr()) || PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()))
    WrongType(name, "a number", value);
  const double number = PyFloat_AsDouble(value.ptr());
  if (number == -1.0 && PyErr_Occurred()) {
    const bool overflow = PyErr_ExceptionMatches(PyExc_OverflowError) != 0;
    PyErr_Clear();
    if (overflow) WrongValue(std::string(name) + " " + Shown(value) + " is out of the range of a float");
    WrongType(name, "a number", value);
  }
  return number;
}

// A whole number in [low, high]; bools only where `bools`.
long long Whole(py::handle value, const char* name, long long low, long long high, bool bools = false) {
  if ((PyBool_Check(value.ptr()) && !bools) || !PyIndex_Check(value.ptr())) WrongType(name, "an int", value);
  PyObject* index = PyNumber_Index(value.ptr());
  if (index == nullptr) throw py::error_already_set();
  int overflow = 0;
  const long long whole = PyLong_AsLongLongAndOverflow(index, &overflow);
  Py_DECREF(index);
  if (overflow != 0 || whole < low || whole > high)
    WrongValue(std::string(name) + " must be from " + std::to_string(low) + " to " + std::to_string(high) + ", not " +
               Shown(value));
  return whole;
}

std::optional<std::int32_t> OptionalComid(py::handle value, const char* name) {
  if (value.is_none()) return std::nullopt;
  return static_cast<std::int32_t>(
      Whole(value, name, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int16_t Switch(py::handle value, const char* name) {
  return static_cast<std::int16_t>(
      Whole(value, name, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(), true));
}

}  // namespace

std::string TextArgument(py::handle value, const char* name) {
  if (!PyUnicode_Check(value.ptr())) WrongType(name, "a str", value);
  PyObject* bytes = PyUnicode_AsEncodedString(value.ptr(), "utf-8", "surrogateescape");
  if (bytes == nullptr) throw py::error_already_set();
  std::string text(PyBytes_AS_STRING(bytes), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes)));
  Py_DECREF(bytes);
  return text;
}

NavigationRequest ReadNavigateArguments(const NavigateArguments& a) {
  NamedRequest named;
  named.distance = Number(a.distance, "distance");
  named.mode = OptionalText(a.mode, "mode");
  named.direction = OptionalText(a.direction, "direction");
  if (!a.navType.is_none()) named.navType = static_cast<NavKind>(Whole(a.navType, "nav_type", 1, 5));
  named.startReach = OptionalText(a.startReach, "start_reach");
  named.startComid = OptionalComid(a.startComid, "start_comid");
  named.startMeasure = Number(a.startMeasure, "start_measure");
  named.endReach = OptionalText(a.endReach, "end_reach");
  named.endComid = OptionalComid(a.endComid, "end_comid");
  named.endMeasure = Number(a.endMeasure, "end_measure");
  named.units = TextArgument(a.units, "units");
  named.wholeReachStart = Switch(a.wholeReachStart, "whole_reach_start");
  named.endAtCuBoundary = Switch(a.endAtCuBoundary, "end_at_cu_boundary");
  StatusOr<NavigationRequest> request = RequestOfNamed(named);
  if (!request.ok()) WrongValue(request.status().message());
  return std::move(request).value();
}

unsigned ThreadsArgument(py::handle value) {
  if (value.is_none()) return std::max(1u, std::thread::hardware_concurrency());
  return static_cast<unsigned>(Whole(value, "threads", 1, 1024));
}

std::size_t MaxTablesArgument(py::handle value) {
  return static_cast<std::size_t>(Whole(value, "max_tables", 1, 1 << 20));
}

RequestsTable ReadRequestsTable(py::handle names, py::handle columns) {
  RequestsTable table;
  if (!PyList_Check(names.ptr()) || !PyList_Check(columns.ptr())) throw py::type_error("requests must be a DataFrame");
  const py::list nameList = py::reinterpret_borrow<py::list>(names);
  const py::list columnList = py::reinterpret_borrow<py::list>(columns);
  for (py::handle name : nameList) table.header.push_back(TextArgument(name, "requests column name"));
  for (std::size_t c = 0; c < columnList.size(); ++c) {
    const py::list column = py::reinterpret_borrow<py::list>(columnList[c]);
    if (table.records.empty()) table.records.resize(column.size());
    if (column.size() != table.records.size()) WrongValue("requests: the columns are not of one length");
    for (std::size_t i = 0; i < column.size(); ++i)
      table.records[i].push_back(TextArgument(column[i], "a requests field"));
  }
  return table;
}

}  // namespace rill::python
