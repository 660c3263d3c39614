corvid_add_bench(logbrowser SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_logbrowser.cpp LIBS corvid_qt)
