cindral_bench(drivedir_bench ${CMAKE_CURRENT_SOURCE_DIR}/drivedir_bench.cpp LIBS cindral_forms)
