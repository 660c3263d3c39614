corvid_add_bench(view SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_view.cpp LIBS corvid_qt)
# The peer plot library is a bench-only dependency; QCustomPlot 2.1 needs
# Qt's print support.
find_package(QCustomPlot CONFIG QUIET)
find_package(Qt5 COMPONENTS PrintSupport QUIET)
if(TARGET QCustomPlot::QCustomPlot AND TARGET Qt5::PrintSupport)
  target_link_libraries(bench_view PRIVATE QCustomPlot::QCustomPlot Qt5::PrintSupport)
  target_compile_definitions(bench_view PRIVATE CORVID_BENCH_QCUSTOMPLOT)
else()
  message(STATUS "bench_view: QCustomPlot not found, the peer columns are left out")
endif()
