# The release build, made by "cmake --workflow --preset release" in
# build/release. This build is the Linux program, statically linked and
# stripped so that it runs on any x86-64 Linux and holds no path of the
# machine that built it; the 32-bit Windows program is built beside it, in
# win32/build, from the same sources. cpack then packs both with cmake/pack.cmake.
if(WIN32 OR CMAKE_CROSSCOMPILING OR NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  message(FATAL_ERROR "The release is made by an x86-64 Linux build")
endif()
# The Windows archive's manual is made from the manual page.
find_program(MANDOC mandoc REQUIRED)
find_program(TAR tar REQUIRED)
find_program(ZIP zip REQUIRED)
# Hardened as distributions build programs: loaded at a random address,
# the stack guarded, the C library's checked calls where a buffer's size is
# known, and its relocations read-only once made at start.
set_property(TARGET tolvek driver tolvekpre PROPERTY POSITION_INDEPENDENT_CODE ON)
target_compile_options(common INTERFACE -fstack-protector-strong -D_FORTIFY_SOURCE=2)
target_link_options(tolvekpre PRIVATE -static-pie -s LINKER:-z,relro,-z,now)

# The archives' names, and where the Windows program is built, for the
# release's checks too.
set(tarball ${PROJECT_NAME}-${PROJECT_VERSION}-linux-x86_64)
set(zip ${PROJECT_NAME}-${PROJECT_VERSION}-win32)
set(win32 ${CMAKE_BINARY_DIR}/win32/build)

include(ExternalProject)
ExternalProject_Add(win32
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  PREFIX ${CMAKE_BINARY_DIR}/win32
  BINARY_DIR ${win32}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DMANDOC=${MANDOC}
             -DTOLVEK_WERROR=${TOLVEK_WERROR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

# cpack stages this build's install and hands it to cmake/pack.cmake, which
# stages the Windows build's install too and makes both archives.
set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/pack.cmake)
set(CPACK_PACKAGE_FILE_NAME ${tarball})
set(CPACK_TOLVEK_WIN32_NAME ${zip})
set(CPACK_TOLVEK_WIN32_BUILD ${win32})
set(CPACK_TOLVEK_EPOCH ${epoch})
set(CPACK_TOLVEK_TAR ${TAR})
set(CPACK_TOLVEK_ZIP ${ZIP})
include(CPack)
