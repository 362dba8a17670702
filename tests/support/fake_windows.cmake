# fake_windows_library(name): the stand-in platform under ruletri's Win32
# layer as an object library (its calls are always there for the layer). Its
# consumers' window calls are wrapped at link time, so the stand-in records
# them before the layer's own code runs.
function(fake_windows_library name)
  add_library(${name} OBJECT ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/fake_windows.cpp)
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  target_link_libraries(${name} PUBLIC ruletri_core ruletri_win32)
  foreach(call RegisterClassExA CreateWindowExA LoadIconA LoadCursorA GetDC ShowWindow UpdateWindow
               DefWindowProcA DestroyWindow PostQuitMessage)
    target_link_options(${name} INTERFACE "LINKER:--wrap=${call}")
  endforeach()
endfunction()
