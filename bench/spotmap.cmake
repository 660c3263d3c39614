corvid_add_bench(spotmap SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_spotmap.cpp LIBS corvid_qt)
