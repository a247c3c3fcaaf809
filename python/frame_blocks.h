// Columns handed to Python as the blocks a pandas frame is made of: one
// two-dimensional array per kind (str objects, int64, float64), a column
// per row of the array.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace rill::python {

namespace py = pybind11;

// Text as a Python str: UTF-8, with any byte that is not decoded kept as a
// lone surrogate (as os.fsdecode keeps it), so that no table makes it fail.
py::str Text(std::string_view text);
std::vector<py::object> Texts(const std::vector<std::string_view>& texts);

// Arrays of one row per column, each `size` long.
py::array TextBlock(const std::vector<const std::vector<py::object>*>& columns, std::size_t size);
// The number blocks take their columns' memory back as they are copied, so
// that the columns and the frame are not held whole at once.
py::array IntBlock(const std::vector<std::vector<std::int64_t>*>& columns, std::size_t size);
py::array FloatBlock(const std::vector<std::vector<double>*>& columns, std::size_t size);

}  // namespace rill::python
