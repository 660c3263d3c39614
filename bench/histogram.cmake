corvid_add_bench(histogram SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_histogram.cpp LIBS corvid_qt Qt5::Widgets)
target_include_directories(bench_histogram PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
