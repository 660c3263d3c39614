# GSL is the baseline of the fit benchmark only; the library never links it.
pkg_check_modules(GSL REQUIRED IMPORTED_TARGET gsl)
corvid_add_bench(math SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_math.cpp LIBS vrx_math PkgConfig::GSL)
