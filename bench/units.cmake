corvid_add_bench(units SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_units.cpp LIBS corvid_qt)
