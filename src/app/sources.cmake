# Process start and the archive icon window.
if(WIN32)
    add_executable(Pakico WIN32
        ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ProcessStart.cpp
    )
    target_link_libraries(Pakico PRIVATE pakico_win)
    set_target_properties(Pakico PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PAKICO_BIN})
endif()
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/IconPlacement.cpp)
