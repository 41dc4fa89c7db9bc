# Common warnings and Qt guards for every target of the project.
function(tovarin_setup_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wold-style-cast -Woverloaded-virtual)
  target_compile_definitions(${target} PRIVATE
    QT_NO_FOREACH QT_NO_URL_CAST_FROM_STRING QT_NO_PROCESS_COMBINED_ARGUMENT_START
    QT_NO_KEYWORDS)
endfunction()

# tovarin_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One test executable per folder; cases are found by gtest_discover_tests when CTest runs,
# so the build never has to start a test binary.
function(tovarin_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  tovarin_setup_target(${name})
  target_link_libraries(${name} PRIVATE tovarin_testmain ${T_LIBS})
  # Test code is compiled for build speed, not run speed: it only drives the libraries, and
  # optimising the assertion macros costs most of a clean build.
  target_compile_options(${name} PRIVATE -O0 -g0)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=1;QT_FONT_DPI=96")
endfunction()

# tovarin_folder_library(<target> LINKS <targets...>)
# A folder's library: every .cpp/.h in the folder (not in tests/), and a test executable
# "<target>_tests" from tests/*.cpp when that folder has any. New files need no CMake edit.
function(tovarin_folder_library target)
  cmake_parse_arguments(F "" "TYPE" "LINKS;TEST_LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(F_TYPE)
    add_library(${target} ${F_TYPE} ${_src})
  else()
    add_library(${target} ${_src})
  endif()
  tovarin_setup_target(${target})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${F_LINKS})
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.h)
  if(_tests)
    tovarin_add_test(${target}_tests SOURCES ${_tests} LIBS ${target} ${F_TEST_LIBS})
  endif()
endfunction()
