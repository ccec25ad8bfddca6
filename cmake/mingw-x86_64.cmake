# The same sources as a 64-bit Windows console program, a test vehicle for the
# Windows code that runs wherever Wine does: Wine's 64-bit loader is called by
# name, since the launcher picks the 32-bit one whenever that is installed.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
