# discforge_test(name SOURCES... LIBS...): a GoogleTest program registered with CTest.
function(discforge_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Where the build puts the programs and the encoder library.
  target_compile_definitions(${name} PRIVATE DISCFORGE_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  discforge_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
