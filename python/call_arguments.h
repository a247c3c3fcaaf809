// The arguments of Network.navigate and Network.batch as Python passes
// them, checked and turned into the core's types. Every check raises
// TypeError or ValueError naming the argument.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "navigation/navigation.h"

namespace rill::python {

namespace py = pybind11;

// Network.navigate's arguments, in its order.
struct NavigateArguments {
  py::handle mode;
  py::handle navType;
  py::handle startReach;
  py::handle startComid;
  py::handle startMeasure;
  py::handle direction;
  py::handle distance;
  py::handle units;
  py::handle endReach;
  py::handle endComid;
  py::handle endMeasure;
  py::handle wholeReachStart;
  py::handle endAtCuBoundary;
};

NavigationRequest ReadNavigateArguments(const NavigateArguments& arguments);

// A str argument as UTF-8 bytes (lone surrogates back to the bytes they
// stand for).
std::string TextArgument(py::handle value, const char* name);

// Batch threads: None for every core, else a whole number from 1.
unsigned ThreadsArgument(py::handle value);
// Table folders a batch keeps loaded at once besides the network's own: a whole number from 1.
std::size_t MaxTablesArgument(py::handle value);

// A requests table as the batch reads one: the header, then the records,
// from a list of column names and a list of columns (lists of str).
struct RequestsTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> records;
};
RequestsTable ReadRequestsTable(py::handle names, py::handle columns);

}  // namespace rill::python
