# expat, the XML parser that reads the centre's answers as they arrive.
# Provides the target nv_expat to link.
#   Linux:   Debian's libexpat1-dev.
#   Windows: a static expat cross-built from Debian's source package
#            outside the repository (see the WIN32 branch).
if(TARGET nv_expat)
  return()
endif()
add_library(nv_expat INTERFACE)
if(WIN32)
  message(FATAL_ERROR "expat for Windows: not yet cross-built")
else()
  find_package(EXPAT REQUIRED)
  target_link_libraries(nv_expat INTERFACE EXPAT::EXPAT)
endif()
