# The arm64 build, driven by the native one: this same project configured
# with cmake/aarch64-linux-gnu.cmake in <build>/arm64, its programs in
# <build>/arm64/bin, its tests run under qemu-user beside the native ones and
# its Debian package made beside the native one. What it needs is checked
# now, while configuring (the cross compiler; to test it, qemu-user; Debian's
# arm64 packages it links and runs with; SDL's arm64 development files,
# fetched last), so that without any of it the native build and its tests
# still go ahead and the arm64 part is reported as left out, with the reason.
# On an arm64 machine the native build is the arm64 one.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
  return()
endif()
set(ARM64_BUILD_DIR ${CMAKE_BINARY_DIR}/arm64)
find_program(ARM64_CXX aarch64-linux-gnu-g++)
find_program(QEMU_AARCH64 qemu-aarch64)
set(missing "")
set(no_apt 0)
if(ARM64_CXX)
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/install-deps.sh --missing arm64
    OUTPUT_VARIABLE missing RESULT_VARIABLE no_apt OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  string(REPLACE "\n" " " missing "${missing}")
endif()
set(reason "")
if(NOT ARM64_CXX)
  set(reason "aarch64-linux-gnu-g++ not found: install Debian's g++-aarch64-linux-gnu (scripts/install-deps.sh) to build for arm64")
elseif(BUILD_TESTING AND NOT QEMU_AARCH64)
  set(reason "qemu-aarch64 not found: install Debian's qemu-user (scripts/install-deps.sh) to test the arm64 build")
elseif(no_apt)
  set(reason "the arm64 build takes its libraries from Debian's arm64 packages, and this machine has no apt")
elseif(missing)
  set(reason "Debian's arm64 packages ${missing} are not installed: scripts/install-deps.sh installs them")
else()
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/arm64-sysroot.sh ${ARM64_BUILD_DIR}
    RESULT_VARIABLE failed ERROR_VARIABLE reason ERROR_STRIP_TRAILING_WHITESPACE)
  if(NOT failed)
    set(reason "")
  elseif(NOT reason)
    set(reason "scripts/arm64-sysroot.sh failed: the arm64 build needs Debian's arm64 SDL packages")
  endif()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/cross-build.cmake)
if(reason)
  unset(ARM64_BUILD_DIR)
  skip_cross_build(arm64 "${reason}")
  return()
endif()

include(ExternalProject)
ExternalProject_Add(arm64
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${ARM64_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/aarch64-linux-gnu.cmake
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DBUILD_TESTING=${BUILD_TESTING} ${CROSS_BUILD_FLAGS}
             -DFRACTALS_PACKAGING=${FRACTALS_PACKAGING} -DFRACTALS_WINDOWS=OFF
             -DNATIVE_BUILD_DIR=${CMAKE_BINARY_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
# The icons, drawn by the native build's icon drawers (tools/icons).
add_dependencies(arm64 program_icons)

# The arm64 tests join this build's test run.
join_cross_build_tests(arm64 ${ARM64_BUILD_DIR})
