# Writes OUT, a C++ source that holds every file of ASSETS (NAME=PATH pairs
# joined by "|") as bytes, and the function EmbeddedPageAssets() that lists
# them by name.
string(REPLACE "|" ";" assets "${ASSETS}")
set(arrays "")
set(entries "")
set(index 0)
foreach(asset IN LISTS assets)
  string(FIND "${asset}" "=" equals)
  string(SUBSTRING "${asset}" 0 ${equals} name)
  math(EXPR from "${equals} + 1")
  string(SUBSTRING "${asset}" ${from} -1 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char kAsset${index}[${size} + 1] = {${bytes}0};\n")
  string(APPEND entries "    {\"${name}\", std::string_view(reinterpret_cast<const char*>(kAsset${index}), ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUT}.new" "// Made by embed_assets.cmake from the page's files; do not edit.\n"
  "#include <span>\n\n#include \"rillgeo/serve/page/page_assets.h\"\n\nnamespace rill::geo {\nnamespace {\n\n"
  "${arrays}\n}  // namespace\n\nstd::span<const PageAsset> EmbeddedPageAssets() {\n"
  "  static const PageAsset assets[] = {\n${entries}  };\n  return assets;\n}\n\n}  // namespace rill::geo\n")
file(RENAME "${OUT}.new" "${OUT}")
