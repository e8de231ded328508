# vantrel_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [SECONDS <n>])
# Builds one Qt Test program and registers it with CTest. SECONDS, about how
# long the program runs, makes the runner start it before the short ones, so
# they run beside it instead of after it. Every test runs
# offscreen and with its own empty XDG_CONFIG_HOME and XDG_DATA_HOME, so no
# test ever reads or writes a real user's settings or transfer log. In the
# ThreadSanitizer build every test program carries the suppression of
# QtTest's own watchdog report.
function(vantrel_add_test)
  cmake_parse_arguments(T "" "NAME;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(VANTREL_SANITIZE STREQUAL "thread")
    list(APPEND T_SOURCES ${PROJECT_SOURCE_DIR}/cmake/TsanQtSuppressions.cpp)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(home ${CMAKE_BINARY_DIR}/test-home/${T_NAME})
  file(MAKE_DIRECTORY ${home})
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${home};XDG_DATA_HOME=${home}/data;LC_ALL=C.UTF-8")
  if(T_SECONDS)
    set_tests_properties(${T_NAME} PROPERTIES COST ${T_SECONDS})
  endif()
endfunction()
