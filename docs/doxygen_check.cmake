# The API documentation builds without a warning: the same Doxyfile as
# `./run docs`, with its output and log moved into WORK_DIR.
file(READ ${SOURCE_DIR}/docs/Doxyfile config)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
string(APPEND config "\nOUTPUT_DIRECTORY = ${WORK_DIR}\nWARN_LOGFILE = ${WORK_DIR}/warnings.log\n")
file(WRITE ${WORK_DIR}/Doxyfile "${config}")
execute_process(COMMAND ${DOXYGEN} ${WORK_DIR}/Doxyfile WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "doxygen failed (${rc}):\n${out}\n${err}")
endif()
file(READ ${WORK_DIR}/warnings.log warnings)
if(warnings)
  message(FATAL_ERROR "documentation warnings:\n${warnings}")
endif()
if(NOT EXISTS ${WORK_DIR}/docs/index.html)
  message(FATAL_ERROR "no HTML written")
endif()
