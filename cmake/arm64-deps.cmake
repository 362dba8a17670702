# What the arm64 configuration builds and tests with. SDL's development files
# come from a sysroot in this build tree (scripts/arm64-sysroot.sh); SDL's
# library and everything else from the machine's arm64 multiarch packages,
# which qemu-user's arm64 loader finds where Debian installs them, so the
# tests run under qemu-user as CTest's emulator.
set(ARM64_SYSROOT ${CMAKE_BINARY_DIR}/sysroot)
# Every compile is listed, for the test that each keeps -ffp-contract=off.
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/arm64-sysroot.sh ${CMAKE_BINARY_DIR} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "The arm64 SDL files could not be unpacked; the line above says why.")
endif()
set(ENV{PKG_CONFIG_LIBDIR} ${ARM64_SYSROOT}/usr/lib/aarch64-linux-gnu/pkgconfig)
# No run path into the sysroot: the programs find SDL where Debian installs
# it, in the build tree (under qemu-user) as once installed. CMake would blank
# such a path on install but keep its length, so the packaged programs would
# differ with the name of the build folder.
set(CMAKE_SKIP_BUILD_RPATH ON)
list(PREPEND CMAKE_FIND_ROOT_PATH ${ARM64_SYSROOT})

if(BUILD_TESTING)
  find_program(QEMU_AARCH64 qemu-aarch64 REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_AARCH64})
endif()
