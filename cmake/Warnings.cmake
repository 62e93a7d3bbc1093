# Warnings are errors on our own code; third-party headers come in as system headers.
function(discforge_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # GCC 12 at -O3 (the Release build of the benchmarks) sees an overlapping copy inside
  # std::string's operator+ that cannot happen (its bug 105329) and would stop the build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-restrict>)
  endif()
endfunction()
