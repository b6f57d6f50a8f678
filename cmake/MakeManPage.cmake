# Makes a manual page from its template: @KAEDE_VERSION@ becomes the version and, when PROGRAM
# is given, @KAEDE_COMMANDS@ the program's commands as it lists them with --commands (one
# "synopsis<TAB>summary" line each), so that a new command is in the manual without an edit.
# Writes OUTPUT (troff) and OUTPUT.gz (as installed).
#   cmake -DTEMPLATE=... -DOUTPUT=... -DVERSION=... [-DPROGRAM=...] -P MakeManPage.cmake
file(READ "${TEMPLATE}" page)
set(commands "")
if(PROGRAM)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 "${PROGRAM}" --commands
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --commands failed: ${status}")
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    if(line STREQUAL "")
      continue()
    endif()
    string(FIND "${line}" "\t" tab)
    string(SUBSTRING "${line}" 0 ${tab} synopsis)
    math(EXPR rest "${tab} + 1")
    string(SUBSTRING "${line}" ${rest} -1 summary)
    # a hyphen of an option is a minus sign in troff; a leading dot or quote would be a request
    string(REPLACE "\\" "\\\\" synopsis "${synopsis}")
    string(REPLACE "-" "\\-" synopsis "${synopsis}")
    string(REPLACE "\\" "\\\\" summary "${summary}")
    string(REPLACE "-" "\\-" summary "${summary}")
    string(REGEX REPLACE "^([.'])" "\\\\&\\1" summary "${summary}")
    string(APPEND commands ".TP\n.B kaede ${synopsis}\n${summary}.\n")
  endforeach()
endif()
string(REPLACE "@KAEDE_VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@KAEDE_COMMANDS@\n" "${commands}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
execute_process(COMMAND gzip -9n -c "${OUTPUT}" OUTPUT_FILE "${OUTPUT}.gz" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip of ${OUTPUT} failed")
endif()
