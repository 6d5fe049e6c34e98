cmake_minimum_required(VERSION 3.25)
# Runs lupdate over the sources of lunetta_ui into a copy of the repository's .ts and fails when a
# text has no finished translation or the .ts keeps one that no source says any more.
#   cmake -DLUPDATE=<lupdate> -DPROJECT=<lunetta_ui's lupdate .cmake> -DMAKE_PROJECT=<Qt's
#         GenerateLUpdateProject.cmake> -DTS=<lunetta_en.ts> -DWORK=<scratch folder> -P ...
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -DIN_FILE=${PROJECT} -DOUT_FILE=${WORK}/project.json
                        -P ${MAKE_PROJECT}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot make the lupdate project: ${result}")
endif()
file(COPY_FILE "${TS}" "${WORK}/check.ts")
execute_process(COMMAND ${LUPDATE} -project ${WORK}/project.json -locations none -ts
                        ${WORK}/check.ts
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${result}):\n${output}")
endif()

file(READ "${WORK}/check.ts" ts)
# One message per list entry; ';' would split the texts themselves.
string(REPLACE ";" "&semi;" ts "${ts}")
string(REPLACE "</message>" ";" messages "${ts}")
set(problems "")
foreach(message IN LISTS messages)
  if(message MATCHES "<source>([^<]*)</source>.*type=\"(unfinished|vanished|obsolete)\"")
    string(APPEND problems "  ${CMAKE_MATCH_2}: ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
if(problems)
  message(FATAL_ERROR "translations/lunetta_en.ts is out of step with the sources (refresh it with "
                      "the lunetta_ui_lupdate target, then translate):\n${problems}")
endif()
message(STATUS "${output}")
