# What the native build does for each cross build it drives
# (cmake/windows-build.cmake, cmake/arm64-build.cmake).

# Says why the cross build NAME is left out: now, and as a skipped test.
function(skip_cross_build name reason)
  message(NOTICE "${reason}")
  if(BUILD_TESTING)
    add_test(NAME ${name}_build COMMAND sh -c "echo \"$0\"; exit 77" "${reason}")
    set_tests_properties(${name}_build PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endfunction()

# The tests of the cross build in DIR join this build's test run.
function(join_cross_build_tests name dir)
  if(BUILD_TESTING)
    file(WRITE ${CMAKE_BINARY_DIR}/${name}_tests.cmake "subdirs(\"${dir}\")\n")
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/${name}_tests.cmake)
  endif()
endfunction()
