cindral_bench(services_bench ${CMAKE_CURRENT_SOURCE_DIR}/services_bench.cpp LIBS cindral_host)
target_compile_definitions(services_bench PRIVATE
  CINDRAL_NOTES_FILE="${PROJECT_SOURCE_DIR}/data/CindralNotes.rtf")
