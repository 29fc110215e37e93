# Companion hand-off: command lines, list files, the work folder with its drops' folders and the
# launches.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CommandLines.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/CompanionLaunch.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DropFolders.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HandOffList.cpp
        ${CMAKE_CURRENT_LIST_DIR}/WorkFolder.cpp
    )
endif()
