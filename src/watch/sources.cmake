# Folder watch: the change monitor, its worker, the one-shot watcher and the hand-off of their
# reports to the GUI thread; the listings of the automatic import.
target_sources(pakico_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ImportListing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImportReport.cpp
)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/DiscMonitor.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DiscMonitorThread.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FileChangeThread.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FolderListing.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GuiHandOff.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ImportWatch.cpp
    )
endif()
