cindral_bench(forms_bench ${CMAKE_CURRENT_SOURCE_DIR}/forms_bench.cpp LIBS cindral_forms)
