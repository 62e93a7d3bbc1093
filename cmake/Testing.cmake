# The folders the tests use, in a header of this build's own (TestPaths.h).
configure_file(${PROJECT_SOURCE_DIR}/tests/TestPaths.h.in ${CMAKE_BINARY_DIR}/generated/TestPaths.h @ONLY)

# discforge_test(name SOURCES... LIBS...): a GoogleTest program registered with CTest.
function(discforge_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR}/generated)
  discforge_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
