# Writes the service worker of the pages' folder PAGES from TEMPLATE: every
# other file of the folder in the list it caches, and a cache name made of
# the SHA-256 of the files' names and contents, so that any change to any
# file makes a new cache and nothing else (no time, no path) does.
#   cmake -DPAGES=<folder> -DTEMPLATE=<sw.js> -P app_files.cmake
file(GLOB paths LIST_DIRECTORIES false RELATIVE ${PAGES} ${PAGES}/*)
list(REMOVE_ITEM paths sw.js)
list(SORT paths)
set(listing "")
set(APP_FILES "")
foreach(path IN LISTS paths)
  file(SHA256 ${PAGES}/${path} sum)
  string(APPEND listing "${sum}  ${path}\n")
  string(APPEND APP_FILES "\n  '${path}',")
endforeach()
string(SHA256 APP_VERSION "${listing}")
string(SUBSTRING ${APP_VERSION} 0 16 APP_VERSION)
configure_file(${TEMPLATE} ${PAGES}/sw.js @ONLY)
