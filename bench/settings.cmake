corvid_add_bench(settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_settings.cpp LIBS corvid_qt)
