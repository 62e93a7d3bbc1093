# Warnings are errors on our own code; third-party headers come in as system headers.
function(discforge_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
