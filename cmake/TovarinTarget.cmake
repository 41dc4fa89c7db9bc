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
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=1;QT_FONT_DPI=96")
endfunction()
