# SPDX-License-Identifier: MIT
# nv_bootstrap_cache_dir(<var> <name> <debian-package> [<triple>])
#
# Where the bootstrap scripts keep what they unpacked or cross-built from a
# Debian source package, outside the repository: /var/cache/nvinterface/
# <name>/<version of the installed debian-package>[/<triple>], or under
# $NV_CACHE_DIR instead of /var/cache/nvinterface when that is set.
set(NV_BOOTSTRAP_CACHE_ROOT /var/cache/nvinterface)
if(DEFINED ENV{NV_CACHE_DIR})
  set(NV_BOOTSTRAP_CACHE_ROOT $ENV{NV_CACHE_DIR})
endif()

function(nv_bootstrap_cache_dir var name package)
  execute_process(COMMAND dpkg-query -W "-f=\${Version}" ${package}
                  OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(dir ${NV_BOOTSTRAP_CACHE_ROOT}/${name}/${version})
  if(ARGC GREATER 3)
    string(APPEND dir /${ARGV3})
  endif()
  set(${var} ${dir} PARENT_SCOPE)
endfunction()
