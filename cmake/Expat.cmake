# expat, the XML parser that reads the centre's answers as they arrive.
# Provides the target nv_expat to link.
#   Linux:   Debian's libexpat1-dev.
if(TARGET nv_expat)
  return()
endif()
add_library(nv_expat INTERFACE)
if(NOT WIN32)
  find_package(EXPAT REQUIRED)
  target_link_libraries(nv_expat INTERFACE EXPAT::EXPAT)
endif()
