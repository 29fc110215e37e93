# Shell integration: the OLE drop target and the file-name blocks of a drop.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DropFiles.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/DropTarget.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DropFileTarget.cpp
    )
endif()
# Shortcut files: the portable rules, the writer, and the start-up shortcut.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ShellLinkRules.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/PBShellLink.cpp
        ${CMAKE_CURRENT_LIST_DIR}/StartupShortcut.cpp
    )
endif()
