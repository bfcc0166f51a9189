# Shared part of the two MinGW-w64 toolchain files; VELTRO_TRIPLET is set first.
# The win32 thread model: the posix one links libwinpthread, whose imports
# (GetTickCount64, vectored exception handlers) Windows 2000 and XP lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${VELTRO_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VELTRO_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER  ${VELTRO_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELTRO_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
