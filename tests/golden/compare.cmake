# Runs the command-line tool on LOG with --crlf (and OPTIONS, a list, when given) and compares the
# report with EXPECTED byte for byte. Set UPDATE=1 in the environment to rewrite EXPECTED instead.
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
execute_process(COMMAND ${TOOL} --crlf --quiet ${OPTIONS} ${LOG}
                OUTPUT_FILE ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0 AND NOT status EQUAL 1)
  message(FATAL_ERROR "truno-decode failed on ${LOG} with status ${status}")
endif()
if(DEFINED ENV{UPDATE} AND "$ENV{UPDATE}" STREQUAL "1")
  file(COPY_FILE ${OUT} ${EXPECTED})
  message(STATUS "updated ${EXPECTED}")
  return()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  message(FATAL_ERROR "report of ${LOG} differs from ${EXPECTED}; see ${OUT} (diff them; UPDATE=1 rewrites)")
endif()
