# QCustomPlot is a peer measured in the same run, linked by this benchmark only.
find_library(CORVID_QCUSTOMPLOT_LIBRARY NAMES QCustomPlot qcustomplot)
find_path(CORVID_QCUSTOMPLOT_INCLUDE qcustomplot.h)
find_package(Qt5 COMPONENTS PrintSupport QUIET)
if(CORVID_QCUSTOMPLOT_LIBRARY AND CORVID_QCUSTOMPLOT_INCLUDE AND Qt5PrintSupport_FOUND)
  corvid_add_bench(chamber SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_chamber.cpp
    LIBS corvid_qt Qt5::Widgets Qt5::PrintSupport ${CORVID_QCUSTOMPLOT_LIBRARY})
  target_include_directories(bench_chamber PRIVATE ${CORVID_QCUSTOMPLOT_INCLUDE})
  target_compile_definitions(bench_chamber PRIVATE QCUSTOMPLOT_USE_LIBRARY)
else()
  message(STATUS "bench_chamber skipped: QCustomPlot (libqcustomplot-dev) not found")
endif()
