# What the native build does for each build it drives (cmake/windows-build.cmake,
# cmake/arm64-build.cmake, cmake/web-build.cmake): each checks, while
# configuring, everything it needs, and is either joined whole or left out
# with one line that says what is missing and how to get it.

# Says why the build NAME is left out: now, and as a skipped test.
function(skip_cross_build name reason)
  message(NOTICE "The ${name} build is left out: ${reason}")
  if(BUILD_TESTING)
    add_test(NAME ${name}_build COMMAND sh -c "echo \"$0\"; exit 77" "${reason}")
    set_tests_properties(${name}_build PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endfunction()

# The tests of the build in DIR join this build's test run.
function(join_cross_build_tests name dir)
  if(BUILD_TESTING)
    file(WRITE ${CMAKE_BINARY_DIR}/${name}_tests.cmake "subdirs(\"${dir}\")\n")
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/${name}_tests.cmake)
  endif()
endfunction()

# The compiler flags from the environment (CXXFLAGS, CPPFLAGS, LDFLAGS, as a
# distribution sets them) are this machine's compiler's: a cross build
# starts from none of them.
set(CROSS_BUILD_FLAGS -DCMAKE_CXX_FLAGS= -DCMAKE_EXE_LINKER_FLAGS= -DCMAKE_SHARED_LINKER_FLAGS=
  -DCMAKE_MODULE_LINKER_FLAGS=)
