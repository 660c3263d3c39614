corvid_add_bench(view SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_view.cpp LIBS corvid_qt)
