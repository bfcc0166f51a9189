
# tools/screenshot.sh waits with this for the start-up scan to finish.
add_executable(wait_for_scan ${CMAKE_SOURCE_DIR}/tools/wait_for_scan.cpp)
veltro_target_options(wait_for_scan)
target_link_options(wait_for_scan PRIVATE -static -static-libgcc -static-libstdc++)
