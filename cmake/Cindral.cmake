# Helpers shared by every folder's CMakeLists.txt.

# cindral_library(NAME SOURCES... [DEPS lib...] [QT])
# One static library per folder. Only libraries marked QT may link Qt; the
# no-Qt guard test checks the sources of the others.
function(cindral_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE cindral_warnings)
  if(ARG_QT)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  endif()
endfunction()

# cindral_test(NAME SOURCE [LIBS lib...])
# Adds one GoogleTest executable and registers its tests with CTest in one line.
function(cindral_test name source)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock cindral_warnings)
  target_compile_definitions(${name} PRIVATE
    CINDRAL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    CINDRAL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
