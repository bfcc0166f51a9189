set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELTRO_TRIPLET x86_64-w64-mingw32)
set(VELTRO_TARGET x86_64)
# The oldest Windows the build is for: headers offer nothing newer.
set(VELTRO_WINNT 0x0502)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
