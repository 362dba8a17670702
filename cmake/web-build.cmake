# The web build, driven by the native one: this same project built by
# Emscripten with the web preset (scripts/build-web.sh) in <build>/web, its
# pages in <build>/web/pages, its unit tests under Node joining this build's
# test run and its pages tested in headless Chromium (tests/web). What it
# needs is checked now, while configuring (Debian's Emscripten and Node; to
# test it, Chromium, Python's websocket client, GoogleTest's source and the
# audit tools npm installs into <build>/web-tools, fetched last), so that
# without any of it the native build and its tests still go ahead and the
# web part is reported as left out, with the reason.
set(WEB_BUILD_DIR ${CMAKE_BINARY_DIR}/web)
set(WEB_TOOLS ${CMAKE_BINARY_DIR}/web-tools)
include(${CMAKE_CURRENT_LIST_DIR}/cross-build.cmake)
find_program(EMCC emcc)
find_program(NODE node)
find_program(CHROMIUM chromium)
find_program(NPM npm)
# Debian's Python, which has Debian's websocket client.
find_program(WEB_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
set(websocket_missing 1)
if(WEB_PYTHON)
  execute_process(COMMAND ${WEB_PYTHON} -c "import websocket" RESULT_VARIABLE websocket_missing
    OUTPUT_QUIET ERROR_QUIET)
endif()
set(install "(scripts/install-deps.sh)")
set(reason "")
if(NOT EMCC OR NOT EXISTS /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
  set(reason "Debian's Emscripten not found: install emscripten ${install} to build the web pages")
elseif(NOT NODE)
  set(reason "node not found: install Debian's nodejs ${install} to build the web pages")
elseif(BUILD_TESTING AND NOT CHROMIUM)
  set(reason "chromium not found: install Debian's chromium ${install} to test the web pages")
elseif(BUILD_TESTING AND websocket_missing)
  set(reason "Python's websocket client not found: install Debian's python3-websocket ${install} to test the web pages")
elseif(BUILD_TESTING AND NOT EXISTS /usr/src/googletest/googletest/src/gtest-all.cc)
  set(reason "GoogleTest's source not found in /usr/src/googletest: install Debian's googletest ${install} to test the web build")
elseif(BUILD_TESTING AND NOT NPM)
  set(reason "npm not found: install Debian's npm ${install} to install the web tests' audit tools")
elseif(BUILD_TESTING)
  # The audit tools (tests/web/package.json: Lighthouse and axe-core,
  # pinned), installed once; the copy of package.json beside them says which.
  file(READ ${PROJECT_SOURCE_DIR}/tests/web/package.json wanted)
  set(installed "")
  if(EXISTS ${WEB_TOOLS}/package.json AND EXISTS ${WEB_TOOLS}/node_modules)
    file(READ ${WEB_TOOLS}/package.json installed)
  endif()
  if(NOT installed STREQUAL wanted)
    message(STATUS "Installing the web tests' audit tools with npm into ${WEB_TOOLS}")
    file(REMOVE_RECURSE ${WEB_TOOLS})
    file(MAKE_DIRECTORY ${WEB_TOOLS})
    file(WRITE ${WEB_TOOLS}/package.json "${wanted}")
    execute_process(COMMAND ${NPM} install --no-package-lock --no-audit --no-fund --loglevel=error
      WORKING_DIRECTORY ${WEB_TOOLS} RESULT_VARIABLE failed TIMEOUT 900
      OUTPUT_FILE ${WEB_TOOLS}/npm.log ERROR_FILE ${WEB_TOOLS}/npm.log)
    if(failed)
      file(REMOVE ${WEB_TOOLS}/package.json)
      set(reason "npm could not install the web tests' audit tools (see ${WEB_TOOLS}/npm.log): retry with network access")
    endif()
  endif()
endif()
if(reason)
  skip_cross_build(web "${reason}")
  return()
endif()

add_custom_target(web_pages ALL
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-web.sh ${WEB_BUILD_DIR} ${CMAKE_BINARY_DIR}
  USES_TERMINAL VERBATIM)
# The web app's icons, drawn by escapeplot's icon drawer (tools/icons).
add_dependencies(web_pages escapeplot_icons)

# The web build's unit tests under Node join this build's test run.
join_cross_build_tests(web ${WEB_BUILD_DIR})
