# GdiCount.dll: counts the GDI objects of the process it is loaded into (the leak tests).
add_library(GdiCount SHARED ${CMAKE_CURRENT_LIST_DIR}/GdiCount.cpp)
target_link_libraries(GdiCount PRIVATE pakico_flags gdi32 user32)
# Exported by its plain name, without the "@4" of the stdcall decoration.
target_link_options(GdiCount PRIVATE -Wl,--kill-at)
set_target_properties(GdiCount PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${PAKICO_BIN}/e2e)
if(TARGET pakico_e2e_tests)
    add_dependencies(pakico_e2e_tests GdiCount)
endif()
