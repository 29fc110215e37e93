# Process start and the archive icon window.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/IconPlacement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FullScreenRules.cpp ${CMAKE_CURRENT_LIST_DIR}/CodePageNotice.cpp)
if(WIN32)
    # The monitors, the full-screen watch and the start's steps are tested under Wine on their
    # own.
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/DesktopMonitors.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FullScreenWatch.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ProcessStart.cpp
    )
    enable_language(RC)
    add_executable(Pakico WIN32
        ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ArchiveCoolForm.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ArchiveCoolFormDrop.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ArchiveCoolFormMenu.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ArchiveCoolFormWatch.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ArchiveCoolFormOpen.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DropAboutForm.cpp
        ${CMAKE_SOURCE_DIR}/res/Pakico.rc
    )
    # The first picture needs only the window, the graphics and the registry: the rest comes
    # after it is on screen.
    include(${CMAKE_SOURCE_DIR}/cmake/DelayLoad.cmake)
    pakico_delay_load(Pakico comctl32 comdlg32 mpr ole32 shell32 shlwapi)
    target_link_libraries(Pakico PRIVATE pakico_win)
    target_precompile_headers(Pakico REUSE_FROM pakico_win)
    target_include_directories(Pakico PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res ${PAKICO_ART_DIR})
    add_dependencies(Pakico pakico_art)
    set_target_properties(Pakico PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PAKICO_BIN})
endif()
