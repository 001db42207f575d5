if(TARGET cindral_app)
  cindral_bench(startup_bench ${CMAKE_CURRENT_SOURCE_DIR}/startup_bench.cpp LIBS cindral_app)
endif()
