cmake_minimum_required(VERSION 3.25)
# Fails when a file under src/<folder>/ or tests/<folder>/ includes a header of a folder that
# <folder>'s layer does not use (directly or through the layers it uses), when a folder of src/ is
# no layer, or when the layers use each other in a circle.
#   cmake -DROOT=<source tree> -DLAYERS=<build>/layers.txt -P layers_check.cmake
# LAYERS holds a line "folder: used folders" per layer, written from the lunetta_layer calls.
file(STRINGS "${LAYERS}" rows)
set(layers "")
foreach(row IN LISTS rows)
  if(row MATCHES "^([a-z_]+):(.*)$")
    set(layer ${CMAKE_MATCH_1})
    string(STRIP "${CMAKE_MATCH_2}" uses)
    separate_arguments(uses UNIX_COMMAND "${uses}")
    list(APPEND layers ${layer})
    set(uses_${layer} ${uses})
  endif()
endforeach()

# Every layer a layer reaches along its uses.
set(problems "")
foreach(layer IN LISTS layers)
  set(reached "")
  set(queue ${uses_${layer}})
  while(queue)
    list(POP_FRONT queue next)
    if(NOT next IN_LIST layers)
      string(APPEND problems "  ${layer} uses ${next}, which is no layer\n")
    elseif(NOT next IN_LIST reached)
      list(APPEND reached ${next})
      list(APPEND queue ${uses_${next}})
    endif()
  endwhile()
  if(layer IN_LIST reached)
    string(APPEND problems "  ${layer} uses itself through the layers it uses\n")
  endif()
  set(allowed_${layer} ${layer} ${reached})
endforeach()

file(GLOB folders LIST_DIRECTORIES true RELATIVE "${ROOT}/src" "${ROOT}/src/*")
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${ROOT}/src/${folder}" AND NOT folder IN_LIST layers)
    file(GLOB code "${ROOT}/src/${folder}/*.cpp" "${ROOT}/src/${folder}/*.h")
    if(code)
      string(APPEND problems "  src/${folder} is no layer: declare it with lunetta_layer in "
             "src/${folder}/CMakeLists.txt\n")
    endif()
  endif()
endforeach()

# Tests may also include the shared test helpers.
set(checked 0)
foreach(tree src tests)
  foreach(layer IN LISTS layers)
    set(allowed ${allowed_${layer}})
    if(tree STREQUAL "tests")
      list(APPEND allowed support)
    endif()
    file(GLOB_RECURSE files RELATIVE "${ROOT}" "${ROOT}/${tree}/${layer}/*.cpp"
         "${ROOT}/${tree}/${layer}/*.h")
    foreach(file IN LISTS files)
      math(EXPR checked "${checked} + 1")
      file(STRINGS "${ROOT}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
      foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/([^\"]*)\".*$" "\\1;\\2" parts
               "${line}")
        list(GET parts 0 target)
        list(GET parts 1 header)
        if(NOT target IN_LIST allowed)
          list(JOIN allowed ", " names)
          string(APPEND problems "  ${file} includes ${target}/${header}; ${layer} may include "
                 "only ${names}\n")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the layers (src/CMakeLists.txt, lunetta_layer):\n"
                      "${problems}")
endif()
list(LENGTH layers count)
message(STATUS "${checked} files of ${count} layers include only what their layer uses")
