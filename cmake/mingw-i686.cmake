# The 32-bit Windows console program, the one that ships; its tests run under
# Wine's launcher, which needs a kernel that runs 32-bit Linux programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
