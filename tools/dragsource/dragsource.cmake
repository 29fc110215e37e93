# DragSource.exe: drags file names into another program with real mouse input, for the tests
# of the drop target. Lives beside the program so the tests find it in their program folder.
add_executable(DragSource WIN32 ${CMAKE_CURRENT_LIST_DIR}/DragSource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VirtualFiles.cpp)
target_link_libraries(DragSource PRIVATE pakico_flags ole32 uuid shell32 shlwapi gdi32 user32)
set_target_properties(DragSource PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PAKICO_BIN})
if(TARGET pakico_win_tests)
    add_dependencies(pakico_win_tests DragSource)
    add_dependencies(pakico_e2e_tests DragSource)
endif()
