#include "frame_blocks.h"

#include <algorithm>

namespace rill::python {

namespace {

// A new (rows, size) array; object arrays start filled with null pointers.
py::array Block(const py::dtype& type, std::size_t rows, std::size_t size) {
  return py::array(type, std::vector<py::ssize_t>{static_cast<py::ssize_t>(rows), static_cast<py::ssize_t>(size)});
}

template <typename T>
py::array NumberBlock(const std::vector<std::vector<T>*>& columns, std::size_t size) {
  py::array block = Block(py::dtype::of<T>(), columns.size(), size);
  T* out = static_cast<T*>(block.mutable_data());
  for (std::vector<T>* column : columns) {
    out = std::copy_n(column->data(), size, out);
    std::vector<T>().swap(*column);
  }
  return block;
}

}  // namespace

py::str Text(std::string_view text) {
  PyObject* s = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogateescape");
  if (s == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(s);
}

std::vector<py::object> Texts(const std::vector<std::string_view>& texts) {
  std::vector<py::object> objects;
  objects.reserve(texts.size());
  for (std::string_view t : texts) objects.push_back(Text(t));
  return objects;
}

py::array TextBlock(const std::vector<const std::vector<py::object>*>& columns, std::size_t size) {
  py::array block = Block(py::dtype("O"), columns.size(), size);
  auto** out = static_cast<PyObject**>(block.mutable_data());
  for (const std::vector<py::object>* column : columns)
    for (std::size_t i = 0; i < size; ++i) *out++ = (*column)[i].inc_ref().ptr();
  return block;
}

py::array IntBlock(const std::vector<std::vector<std::int64_t>*>& columns, std::size_t size) {
  return NumberBlock(columns, size);
}

py::array FloatBlock(const std::vector<std::vector<double>*>& columns, std::size_t size) {
  return NumberBlock(columns, size);
}

}  // namespace rill::python
