corvid_add_bench(multichannel SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_multichannel.cpp LIBS corvid_qt)
