# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX threads flavour,
# which std::regex and the test framework need). The programs are linked
# statically so that they run on a Windows without the MinGW runtime.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZENTRAK_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
