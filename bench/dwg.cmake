cindral_bench(dwg_open_bench dwg_open.cpp LIBS cindral_dwg)
target_compile_definitions(dwg_open_bench PRIVATE CINDRAL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
