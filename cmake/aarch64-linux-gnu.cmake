# Cross-build for 64-bit ARM Linux (Debian arm64, Raspberry Pi OS) with
# Debian's aarch64 cross compiler. Libraries come from the machine's arm64
# multiarch folders (libx11-dev:arm64 and the others install there beside
# the amd64 ones), SDL's from a sysroot of the build's own, as its -dev
# package is not multiarch (cmake/arm64-deps.cmake).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
