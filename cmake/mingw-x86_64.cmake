# Cross toolchain: 64-bit Windows with MinGW-w64. Only for running the Win32 and
# end-to-end tests on hosts whose kernel cannot execute 32-bit programs (no ia32
# emulation), where 32-bit Wine cannot start at all.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZELV_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
