# The arm64 build, driven by the native one: this same project configured
# with cmake/aarch64-linux-gnu.cmake in <build>/arm64, its programs in
# <build>/arm64/bin, its tests run under qemu-user beside the native ones and
# its Debian package made beside the native one. What it needs is checked
# now, while configuring, so that without it the native build and its tests
# still go ahead and the arm64 part is reported as skipped, with the reason.
# On an arm64 machine the native build is the arm64 one.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
  return()
endif()
set(ARM64_BUILD_DIR ${CMAKE_BINARY_DIR}/arm64)
find_program(ARM64_CXX aarch64-linux-gnu-g++)
find_program(QEMU_AARCH64 qemu-aarch64)
set(reason "")
if(NOT ARM64_CXX)
  set(reason "aarch64-linux-gnu-g++ not found: install Debian's g++-aarch64-linux-gnu (scripts/install-deps.sh) to build for arm64")
elseif(BUILD_TESTING AND NOT QEMU_AARCH64)
  set(reason "qemu-aarch64 not found: install Debian's qemu-user (scripts/install-deps.sh) to test the arm64 build")
else()
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/arm64-sysroot.sh ${ARM64_BUILD_DIR}
    RESULT_VARIABLE failed ERROR_VARIABLE reason ERROR_STRIP_TRAILING_WHITESPACE)
  if(NOT failed)
    set(reason "")
  endif()
endif()
if(reason)
  unset(ARM64_BUILD_DIR)
  message(NOTICE "${reason}")
  if(BUILD_TESTING)
    add_test(NAME arm64_build COMMAND sh -c "echo \"$0\"; exit 77" "${reason}")
    set_tests_properties(arm64_build PROPERTIES SKIP_RETURN_CODE 77)
  endif()
  return()
endif()

include(ExternalProject)
ExternalProject_Add(arm64
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${ARM64_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/aarch64-linux-gnu.cmake
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DBUILD_TESTING=${BUILD_TESTING}
             -DFRACTALS_PACKAGING=${FRACTALS_PACKAGING} -DFRACTALS_WINDOWS=OFF
             -DNATIVE_BUILD_DIR=${CMAKE_BINARY_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
# The icons, drawn by the native build's icon drawers in packaging/.
add_dependencies(arm64 program_icons)

# The arm64 tests join this build's test run.
if(BUILD_TESTING)
  file(WRITE ${CMAKE_BINARY_DIR}/arm64_tests.cmake "subdirs(\"${ARM64_BUILD_DIR}\")\n")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/arm64_tests.cmake)
endif()
