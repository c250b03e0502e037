# Shared body of the MinGW-w64 toolchain files; the caller sets ZELV_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR. Posix thread model, because std::thread needs it.
set(CMAKE_SYSTEM_NAME Windows)

find_program(ZELV_MINGW_CXX ${ZELV_TRIPLE}-g++-posix)
find_program(ZELV_MINGW_CC ${ZELV_TRIPLE}-gcc-posix)
find_program(ZELV_MINGW_RC ${ZELV_TRIPLE}-windres)
foreach(tool ZELV_MINGW_CXX ZELV_MINGW_CC ZELV_MINGW_RC)
  if(NOT ${tool})
    message(FATAL_ERROR "${tool} (${ZELV_TRIPLE}) not found: run scripts/install-deps.sh win")
  endif()
endforeach()

set(CMAKE_C_COMPILER ${ZELV_MINGW_CC})
set(CMAKE_CXX_COMPILER ${ZELV_MINGW_CXX})
set(CMAKE_RC_COMPILER ${ZELV_MINGW_RC})
set(CMAKE_FIND_ROOT_PATH /usr/${ZELV_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
