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
# The pkg-config file names the prefix it was installed into.
find_program(PKG_CONFIG_EXECUTABLE NAMES pkg-config pkgconf)
if(PKG_CONFIG_EXECUTABLE)
  file(GLOB_RECURSE pc_file ${prefix}/corvid_qt.pc)
  get_filename_component(pc_dir "${pc_file}" DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --variable=includedir corvid_qt
    OUTPUT_VARIABLE pc_includedir OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT EXISTS "${pc_includedir}/corvid_qt/corvid_qt_version.h")
    message(FATAL_ERROR "corvid_qt.pc points at '${pc_includedir}', not at the installed headers")
  endif()
endif()
# Without Qwt the package is not found; a host that can do without it goes on.
set(optional ${WORK_DIR}/optional)
file(WRITE ${optional}/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)\nproject(optional LANGUAGES CXX)\n"
  "find_package(CorvidQt 1.14 QUIET)\nif(CorvidQt_FOUND)\n  message(FATAL_ERROR \"found without Qwt\")\nendif()\n")
set(ENV{PKG_CONFIG_LIBDIR} ${optional})
set(ENV{PKG_CONFIG_PATH} "")
run_step(${CMAKE_COMMAND} -S ${optional} -B ${optional}/build -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${prefix})
unset(ENV{PKG_CONFIG_LIBDIR})
unset(ENV{PKG_CONFIG_PATH})
# A host without the HostHelpers component (it builds the README's cookbook)
# and one with it.
foreach(host_helpers OFF ON)
  set(build ${WORK_DIR}/build-helpers-${host_helpers})
  # The package's own lookups give hosts that treat developer warnings as
  # errors nothing to stop at.
  run_step(${CMAKE_COMMAND} -Werror=dev -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release -DCONSUMER_HOST_HELPERS=${host_helpers})
  run_step(${CMAKE_COMMAND} --build ${build})
  run_step(${build}/consumer)
endforeach()
