corvid_add_bench(models SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_models.cpp LIBS corvid_qt Qt5::Gui)
