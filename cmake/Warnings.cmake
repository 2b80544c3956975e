# SPDX-License-Identifier: MIT
# The project's own code builds warning-free with -Wall -Wextra; warnings are errors.
function(nv_project_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
