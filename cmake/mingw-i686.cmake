set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELTRO_TRIPLET i686-w64-mingw32)
set(VELTRO_TARGET i686)
# The oldest Windows the build is for: headers offer nothing newer.
set(VELTRO_WINNT 0x0500)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
