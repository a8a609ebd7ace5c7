# Shared by the two mingw-w64 toolchain files. The win32-threads flavour of the compiler is
# preferred: it never pulls in the winpthread runtime DLL.
foreach(tool_var IN ITEMS C CXX)
  if(tool_var STREQUAL "C")
    set(tool gcc)
  else()
    set(tool g++)
  endif()
  find_program(KESTREL_${tool_var}_COMPILER
    NAMES ${KESTREL_MINGW_TRIPLET}-${tool}-win32 ${KESTREL_MINGW_TRIPLET}-${tool}
    REQUIRED)
  set(CMAKE_${tool_var}_COMPILER ${KESTREL_${tool_var}_COMPILER})
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${KESTREL_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
