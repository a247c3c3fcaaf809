# Each layer of the navigator is a library of its own whose headers are seen
# only by the layers above it: the layer's folder is reached through an
# include root of its own in the build tree (<build>/layers/<folder>/<folder>
# links to the source folder), which the library passes on to the libraries
# that link it. A header of a higher layer is not on a lower layer's include
# path, so an include that points up fails the build.
#
# A folder inside a program's folder (a room of rillgeo, `rillgeo/geometry`)
# gets a root of its own the same way (<build>/layers/rillgeo-geometry/
# rillgeo/geometry links to it): its headers keep their full path
# ("rillgeo/geometry/vector_source.h"), and only the rooms that link it see
# them; a room beside it or the program's own folder stays out of sight.
function(rill_layer_includes target folder)
  string(REPLACE "/" "-" name ${folder})
  set(root ${PROJECT_BINARY_DIR}/layers/${name})
  if(NOT EXISTS ${root}/${folder})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC COPY_ON_ERROR)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# A layer library from the sources of its folder, linking the layers below.
function(rill_layer target folder)
  cmake_parse_arguments(L "" "" "SOURCES;BELOW" ${ARGN})
  if(L_SOURCES)
    add_library(${target} STATIC ${L_SOURCES})
    target_link_libraries(${target} PUBLIC ${L_BELOW})
    rill_set_warnings(${target})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${L_BELOW})
  endif()
  rill_layer_includes(${target} ${folder})
endfunction()
