# SingleApplication::SingleApplication from Debian's libsingleapplication-dev,
# which ships a header and a static library but no CMake package.
#
# That library is built on QCoreApplication (its QAPPLICATION_CLASS), so the
# target pins the same base class: a host that defined another one would
# compile against a class layout the library does not have. A widget host
# therefore runs it in a guard process beside its QApplication process.
if(TARGET SingleApplication::SingleApplication)
  return()
endif()
find_package(Qt5 5.15 REQUIRED COMPONENTS Core Network)
find_path(SingleApplication_INCLUDE_DIR singleapplication.h PATH_SUFFIXES singleapplication)
find_library(SingleApplication_LIBRARY NAMES SingleApplication)
include(FindPackageHandleStandardArgs)
# Looked for from within the CorvidQt package, hence the other name.
find_package_handle_standard_args(SingleApplication NAME_MISMATCHED
  REQUIRED_VARS SingleApplication_LIBRARY SingleApplication_INCLUDE_DIR)
if(SingleApplication_FOUND)
  add_library(SingleApplication::SingleApplication STATIC IMPORTED)
  set_target_properties(SingleApplication::SingleApplication PROPERTIES
    IMPORTED_LOCATION ${SingleApplication_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${SingleApplication_INCLUDE_DIR}
    INTERFACE_COMPILE_DEFINITIONS QAPPLICATION_CLASS=QCoreApplication
    INTERFACE_LINK_LIBRARIES "Qt5::Core;Qt5::Network")
endif()
