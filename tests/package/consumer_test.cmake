file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "step failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
endfunction()

# The Designer plugin goes into Qt's own folder, not into this prefix.
run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component Unspecified)
if(NOT EXISTS ${prefix}/lib/libcorvid_qt.so.1.14.1 AND NOT EXISTS ${prefix}/lib/x86_64-linux-gnu/libcorvid_qt.so.1.14.1)
  message(FATAL_ERROR "libcorvid_qt.so.1.14.1 was not installed")
endif()
file(GLOB_RECURSE private_headers ${prefix}/include/*_p.h)
if(private_headers)
  message(FATAL_ERROR "private headers were installed: ${private_headers}")
endif()
# A host without the HostHelpers component (it builds the README's cookbook)
# and one with it.
foreach(host_helpers OFF ON)
  set(build ${WORK_DIR}/build-helpers-${host_helpers})
  run_step(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release -DCONSUMER_HOST_HELPERS=${host_helpers})
  run_step(${CMAKE_COMMAND} --build ${build})
  run_step(${build}/consumer)
endforeach()
